#include "tests/support/TempDir.h"

#include "support/Text.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace Vellmar::Testing {

TempDir::TempDir(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (!it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

std::wstring TempDir::Wide(const std::string& name) const {
    return Utf8ToWide((name.empty() ? root : root / name).string());
}

fs::path TempDir::Write(const std::string& name, const std::string& bytes) const {
    const fs::path file = root / name;
    fs::create_directories(file.parent_path());
    WriteFile(file, bytes);
    return file;
}

void TempDir::MakeReadOnly(const std::string& name) const {
    fs::permissions(root / name,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

std::vector<std::string> TempDir::List(const std::string& name) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root / name))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::map<std::string, std::string> Snapshot(const fs::path& root) {
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

} // namespace Vellmar::Testing
