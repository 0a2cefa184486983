#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace Vellmar::Testing {

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh folder under the system temporary folder, removed with everything in it (read-only
// entries included) when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "vellmar-test");
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& Path() const { return root; }
    std::filesystem::path operator/(const std::string& name) const { return root / name; }
    // UTF-8 names as wide strings, without the process locale.
    std::wstring Wide(const std::string& name = {}) const;

    // Writes `bytes` to `name` below the folder, making the folders on the way.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const { return ReadFile(root / name); }
    // Takes every write permission away from `name`.
    void MakeReadOnly(const std::string& name) const;
    // Names of the entries directly in `name`, sorted.
    std::vector<std::string> List(const std::string& name = {}) const;

private:
    std::filesystem::path root;
};

// A test with a fresh folder of its own.
class TempDirTest : public ::testing::Test {
protected:
    TempDir dir;
};

// Every entry below `root`: relative path -> "dir", "link:<target>" or "file:<contents>".
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root);

} // namespace Vellmar::Testing
