#include "platform/unrar/EntryPath.h"

namespace Vellmar::Unrar {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool HasDrivePrefix(std::string_view name) {
    if (name.size() < 2 || name[1] != ':')
        return false;
    const char c = name[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::optional<std::vector<std::string>> SplitEntryPath(std::string_view name) {
    if (name.empty() || IsSeparator(name.front()) || HasDrivePrefix(name))
        return std::nullopt;
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        const std::string_view part = name.substr(start, end - start);
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            components.emplace_back(part);
        start = end + 1;
    }
    if (components.empty())
        return std::nullopt;
    return components;
}

} // namespace Vellmar::Unrar
