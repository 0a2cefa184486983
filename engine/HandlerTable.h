#pragma once
// The keyword table every handler class keeps: it fills the engine's dispatch map and names the
// keywords the configuration check accepts, so both always agree.
#include "engine/ActionEngine.h"

#include <string>
#include <utility>
#include <vector>

namespace LTF::Xml {
class XmlNode;
}

template <typename Owner, std::size_t N>
using HandlerTable = std::pair<const wchar_t*, void (Owner::*)(LTF::Xml::XmlNode*)>[N];

template <typename Owner, std::size_t N>
void RegisterHandlers(Owner* owner, const HandlerTable<Owner, N>& table,
                      ActionEngine::HandlerMap& map) {
    for (const auto& [name, handler] : table)
        map[name] = [owner, handler = handler](LTF::Xml::XmlNode* element) {
            (owner->*handler)(element);
        };
}

template <typename Owner, std::size_t N>
std::vector<std::wstring> HandlerNames(const HandlerTable<Owner, N>& table) {
    std::vector<std::wstring> names;
    for (const auto& entry : table)
        names.emplace_back(entry.first);
    return names;
}
