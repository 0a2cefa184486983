#pragma once

#include "support/Text.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace RarTest {

namespace fs = std::filesystem;

inline std::string BinDir() {
    const char* dir = std::getenv("VELLMAR_TEST_BIN_DIR");
    // Test programs live in the same folder as the libraries.
    return dir ? dir : fs::canonical("/proc/self/exe").parent_path().string();
}

inline std::wstring LibraryPath(const std::string& file = "libunrar.so") {
    return Vellmar::Utf8ToWide(BinDir() + "/" + file);
}

using Vellmar::Testing::ReadFile;

using Vellmar::Testing::Snapshot;

using Vellmar::Testing::ScopedEnv;

// A fresh folder per test.
class RarFolderTest : public Vellmar::Testing::TempDirTest {
protected:
    std::string save(const std::string& name, const std::string& bytes) const {
        const std::string path = (dir / name).string();
        Vellmar::Testing::Rar4Writer::save(path, bytes);
        return path;
    }
};

} // namespace RarTest
