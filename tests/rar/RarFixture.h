#pragma once

#include "support/Text.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
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

// Every entry below `root`: relative path -> "dir", "link:<target>" or "file:<contents>".
inline std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            tree[name] = "link:" + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            tree[name] = "dir";
        else
            tree[name] = "file:" + ReadFile(entry.path());
    }
    return tree;
}

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
