#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards even when the test left read-only entries.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        root = fs::temp_directory_path() /
               ("vellmar-supportlib-" + std::to_string(::getpid()) + "-" +
                std::to_string(counter++));
        fs::create_directories(root);
    }
    void TearDown() override {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(root, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root, ignored);
    }

    std::wstring W(const fs::path& relative = {}) const {
        return relative.empty() ? root.wstring() : (root / relative).wstring();
    }
    void Write(const fs::path& relative, const std::string& text) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << text;
    }
    std::string Read(const fs::path& relative) const {
        std::ifstream in(root / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void MakeReadOnly(const fs::path& relative) const {
        fs::permissions(root / relative,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    // Entries directly in `relative`, sorted.
    std::vector<std::string> List(const fs::path& relative = {}) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root / relative))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root;
};
