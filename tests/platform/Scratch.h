#pragma once

#include "support/Text.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <string>

using Vellmar::Testing::ReadFile;
using Vellmar::Testing::ScopedEnv;
using Vellmar::Testing::TempDir;
using Vellmar::Testing::WriteFile;

// std::filesystem would convert through the process locale; names here are UTF-8.
inline std::wstring Wide(const std::filesystem::path& path) {
    return Vellmar::Utf8ToWide(path.string());
}
