#include "engine/FileResolver.h"

#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "ltf/xml/XmlNode.h"
#include "platform/RegistryStore.h"
#include "support/PathResolve.h"

FileResolver::Result FileResolver::Resolve(LauncherContext& context,
                                           const LTF::Xml::XmlNode& element) {
    Result result;
    result.arguments = element.GetAttribute(L"arguments");
    const std::wstring root = element.GetAttribute(L"root");
    const std::wstring key = element.GetAttribute(L"path");
    const std::wstring name = element.GetAttribute(L"key");
    std::wstring base;
    if (EngineText::AllSet(root, key, name)) {
        base = Vellmar::Platform::RegistryStore().ReadRegistryString(root, key, name);
        if (base.empty())
            return result;
        if (base.back() != L'\\')
            base += L'\\';
    } else {
        base = context.GetRootDir();
    }
    const std::wstring file =
        EngineText::ExpandedWithEnvironment(context.strings, element.GetAttribute(L"file"));
    if (!file.empty() && Vellmar::PathExists(file)) {
        result.found = true;
        result.path = file;
        return result;
    }
    const std::wstring joined = base + file;
    result.found = Vellmar::PathExists(joined);
    result.path = result.found ? joined : file;
    return result;
}
