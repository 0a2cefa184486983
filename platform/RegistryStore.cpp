#include "platform/RegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/RegistryHive.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace Vellmar::Platform {

namespace {

std::wstring RootName(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

std::wstring KeyPath(RegistryRoot root, std::wstring_view key) {
    return RootName(root) + L"\\" + std::wstring(key);
}

std::optional<RegistryValue> ReadFrom(const std::string& hivePath, std::wstring_view keyPath,
                                      std::wstring_view name) {
    if (hivePath.empty())
        return std::nullopt;
    try {
        const auto bytes = AtomicFile::Read(hivePath);
        if (!bytes)
            return std::nullopt;
        const RegistryHive hive = RegistryHive::Parse(*bytes);
        if (const RegistryValue* value = hive.Find(keyPath, name))
            return *value;
    } catch (const std::exception&) {
        // An unreadable hive reads as an empty one.
    }
    return std::nullopt;
}

bool CanWrite(const std::string& file) {
    if (::access(file.c_str(), W_OK) == 0)
        return true;
    const std::string folder = std::filesystem::path(file).parent_path().string();
    return ::access(file.c_str(), F_OK) != 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string Getenv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool AllGiven(std::wstring_view a, std::wstring_view b, std::wstring_view c) {
    return !a.empty() && !b.empty() && !c.empty();
}

} // namespace

RegistryRoot RegistryRootFromAttribute(std::wstring_view root) {
    return EqualsIgnoreCase(root, L"hkcu") ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
}

RegistryLocations RegistryLocations::FromEnvironment() {
    RegistryLocations result;
    std::string folder = Getenv("VELLMAR_REGISTRY_DIR");
    if (folder.empty()) {
        std::string config = Getenv("XDG_CONFIG_HOME");
        if (config.empty())
            config = Getenv("HOME") + "/.config";
        folder = config + "/vellmar/registry";
        result.localMachineSystem = "/etc/vellmar/registry/HKEY_LOCAL_MACHINE.reg";
    }
    result.currentUser = folder + "/HKEY_CURRENT_USER.reg";
    result.localMachine = folder + "/HKEY_LOCAL_MACHINE.reg";
    return result;
}

RegistryStore::RegistryStore(RegistryLocations locations) : locations(std::move(locations)) {}

std::optional<RegistryValue> RegistryStore::ReadValue(RegistryRoot root, std::wstring_view key,
                                                      std::wstring_view name) const {
    const std::wstring path = KeyPath(root, key);
    if (root == RegistryRoot::CurrentUser)
        return ReadFrom(locations.currentUser, path, name);
    if (auto value = ReadFrom(locations.localMachine, path, name))
        return value;
    return ReadFrom(locations.localMachineSystem, path, name);
}

std::wstring RegistryStore::ReadRegistryString(RegistryRoot root, std::wstring_view key,
                                               std::wstring_view name) const {
    const auto value = ReadValue(root, key, name);
    return value && value->type == REG_SZ ? value->Text() : std::wstring();
}

std::wstring RegistryStore::ReadRegistryString(std::wstring_view root, std::wstring_view key,
                                               std::wstring_view name) const {
    if (!AllGiven(root, key, name))
        return {};
    return ReadRegistryString(RegistryRootFromAttribute(root), key, name);
}

std::optional<std::wstring> RegistryStore::ReadStringLimited(RegistryRoot root,
                                                             std::wstring_view key,
                                                             std::wstring_view name,
                                                             std::size_t bufferChars) const {
    const auto value = ReadValue(root, key, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ) ||
        value->data.size() > bufferChars * 2)
        return std::nullopt;
    return value->Text();
}

std::optional<std::wstring> RegistryStore::ReadStringLimited(std::wstring_view root,
                                                             std::wstring_view key,
                                                             std::wstring_view name,
                                                             std::size_t bufferChars) const {
    if (!AllGiven(root, key, name))
        return std::nullopt;
    return ReadStringLimited(RegistryRootFromAttribute(root), key, name, bufferChars);
}

std::optional<std::uint32_t> RegistryStore::ReadDword(RegistryRoot root, std::wstring_view key,
                                                      std::wstring_view name) const {
    const auto value = ReadValue(root, key, name);
    return value ? value->DwordValue() : std::nullopt;
}

std::string RegistryStore::WriteTarget(RegistryRoot root, std::wstring_view keyPath,
                                       std::wstring_view name) const {
    if (root == RegistryRoot::CurrentUser)
        return locations.currentUser;
    // A value already in the overlay would hide a write to the system file.
    if (locations.localMachineSystem.empty() || ReadFrom(locations.localMachine, keyPath, name) ||
        !CanWrite(locations.localMachineSystem))
        return locations.localMachine;
    return locations.localMachineSystem;
}

void RegistryStore::WriteValue(RegistryRoot root, std::wstring_view key, std::wstring_view name,
                               const RegistryValue& value) const {
    const std::wstring path = KeyPath(root, key);
    const std::string hivePath = WriteTarget(root, path, name);
    const std::filesystem::path folder = std::filesystem::path(hivePath).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::exists(folder, error)) {
        if (!std::filesystem::create_directories(folder, error) && error)
            throw Win32::Win32Exception("create " + folder.string(), error.value());
        ::chmod(folder.c_str(), 0700);
    }
    const FileLock lock(hivePath + ".lock", lockTimeout);
    AtomicFile::RemoveStaleTemporaries(hivePath);
    const auto bytes = AtomicFile::Read(hivePath);
    RegistryHive hive = RegistryHive::Parse(bytes ? *bytes : std::string());
    hive.Set(path, name, value);
    AtomicFile::Replace(hivePath, hive.Serialize(), 0600);
}

bool RegistryStore::WriteRegistryString(RegistryRoot root, std::wstring_view key,
                                        std::wstring_view name,
                                        std::wstring_view value) const noexcept {
    try {
        WriteValue(root, key, name, RegistryValue::String(value));
        return true;
    } catch (...) {
        return false;
    }
}

bool RegistryStore::WriteRegistryString(std::wstring_view root, std::wstring_view key,
                                        std::wstring_view name,
                                        std::wstring_view value) const noexcept {
    if (!AllGiven(root, key, name))
        return false;
    return WriteRegistryString(RegistryRootFromAttribute(root), key, name, value);
}

} // namespace Vellmar::Platform
