// Arbitrary bytes as a RAR archive, opened and extracted through RarArchive and libunrar.so.
#include "support/Text.h"
#include "update/RarArchive.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const fs::path& Workspace() {
    static const fs::path path = [] {
        std::string pattern = (fs::temp_directory_path() / "fuzzrar-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(Workspace(), ignored);
        });
        return fs::path(pattern);
    }();
    return path;
}

RarArchive& Library() {
    static RarArchive archive(Vellmar::Utf8ToWide(
        (fs::canonical("/proc/self/exe").parent_path() / "libunrar.so").string()));
    return archive;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path archivePath = Workspace() / "input.rar";
    const fs::path out = Workspace() / "out";
    std::ofstream(archivePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::error_code ignored;
    fs::remove_all(out, ignored);
    RarArchive& archive = Library();
    try {
        archive.open(archivePath.string(), RAR_OM_EXTRACT);
        while (archive.items().next())
            archive.items().extractToPath(out.string());
    } catch (const Vellmar::Exception&) {
    }
    archive.close();
    // Nothing may land outside the output folder.
    for (const auto& entry : fs::directory_iterator(Workspace()))
        if (entry.path() != archivePath && entry.path() != out)
            std::abort();
    return 0;
}
