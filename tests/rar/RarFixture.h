#pragma once

#include "tests/support/Rar4Writer.h"
#include "tests/support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    return fs::path(BinDir() + "/" + file).wstring();
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

// A fresh folder per test, removed afterwards.
class RarFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "rartest-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    std::string save(const std::string& name, const std::string& bytes) const {
        const std::string path = (root / name).string();
        Vellmar::Testing::Rar4Writer::save(path, bytes);
        return path;
    }

    fs::path root;
};

} // namespace RarTest
