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

namespace PlatformTest {

// std::filesystem would convert through the process locale; names here are UTF-8.
inline std::wstring Wide(const std::filesystem::path& path) {
    return Vellmar::Utf8ToWide(path.string());
}

// Writes a file, creating the folders it lies in.
inline std::filesystem::path WriteAt(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    WriteFile(file, bytes);
    return file;
}

} // namespace PlatformTest
