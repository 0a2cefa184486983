#include "update/RarArchive.h"

#include "support/Path.h"
#include "support/Text.h"

#include <cstring>
#include <filesystem>

namespace {

constexpr std::size_t kVolumeNameLimit = 260;

// The copy beside the program first, as its $ORIGIN run path would find it; dlopen under some
// sanitizer runtimes ignores the run path. Otherwise the ordinary search by bare name.
std::wstring DefaultLibrary() {
    const std::wstring executable = Vellmar::ExecutablePath();
    const std::wstring beside =
        executable.substr(0, executable.find_last_of(L'/') + 1) + L"libunrar.so";
    std::error_code ignored;
    if (!executable.empty() &&
        std::filesystem::is_regular_file(Vellmar::WideToUtf8(beside), ignored))
        return beside;
    return L"libunrar.so";
}

} // namespace

RarArchive::RarArchive() : RarArchive(DefaultLibrary()) {}

RarArchive::RarArchive(const std::wstring& libraryPath) : library(libraryPath) {}

RarArchive::~RarArchive() {
    close();
}

void RarArchive::check(int code, int operation) {
    if (pendingException)
        throw RarException(code, operation, std::move(pendingException));
    if (code != ERAR_SUCCESS && code != ERAR_END_ARCHIVE)
        throw RarException(code, operation);
}

void RarArchive::open(const std::string& name, int mode) {
    if (handle != nullptr)
        throw Vellmar::InvalidOperationException("UnRar::open: RAR archive already opened.");
    std::memset(&openData, 0, sizeof openData);
    archiveName = name;
    openData.ArcName = archiveName.data();
    openData.OpenMode = static_cast<unsigned>(mode);
    pendingException.reset();
    handle = library.RAROpenArchiveEx(&openData);
    if (handle == nullptr) {
        check(static_cast<int>(openData.OpenResult), OpenOperation);
        throw RarException(ERAR_UNKNOWN, OpenOperation);
    }
    library.RARSetCallback(handle, &RarArchive::callback, reinterpret_cast<LPARAM>(this));
    item.state = 0;
}

void RarArchive::close() {
    if (handle != nullptr) {
        library.RARCloseArchive(handle);
        handle = nullptr;
    }
}

int RarArchive::callback(UINT message, LPARAM userData, LPARAM p1, LPARAM p2) {
    auto* self = reinterpret_cast<RarArchive*>(userData);
    self->pendingException.reset();
    try {
        return self->dispatch(message, p1, p2);
    } catch (const Vellmar::Exception& e) {
        self->pendingException = e.Clone();
    } catch (...) {
        // Nothing may unwind through the library's frames.
        self->pendingException = std::make_unique<Vellmar::Exception>();
    }
    return -1;
}

int RarArchive::dispatch(UINT message, LPARAM p1, LPARAM p2) {
    switch (message) {
    case UCM_CHANGEVOLUME:
        onChangeVolume(reinterpret_cast<const char*>(p1), static_cast<int>(p2));
        return 1;
    case UCM_PROCESSDATA:
        onProcessData(reinterpret_cast<const unsigned char*>(p1), static_cast<long>(p2));
        return 1;
    case UCM_NEEDPASSWORD:
        onNeedPassword(reinterpret_cast<char*>(p1), static_cast<long>(p2));
        return 1;
    default:
        return -1;
    }
}

void RarArchive::onChangeVolume(const char* volumeName, int mode) {
    if (mode == RAR_VOL_ASK) {
        const std::string name(volumeName, strnlen(volumeName, kVolumeNameLimit));
        throw Vellmar::ArgumentException("volumeName", "volume is missing: " + name);
    }
    if (mode != RAR_VOL_NOTIFY)
        throw Vellmar::ArgumentException("P2", "UCM_CHANGEVOLUME: unexpected value for P2");
}

void RarArchive::onProcessData(const unsigned char*, long) {}

void RarArchive::onNeedPassword(char*, long) {}

bool RarArchive::Item::next() {
    if (state == 3)
        return false;
    if (state == 1) {
        const int result =
            archive->library.RARProcessFile(archive->handle, RAR_SKIP, nullptr, nullptr);
        if (result != ERAR_SUCCESS)
            throw RarException(result, ProcessOperation);
    }
    std::memset(&header, 0, sizeof header);
    const int result = archive->library.RARReadHeaderEx(archive->handle, &header);
    archive->check(result, ReadHeaderOperation);
    state = result == ERAR_SUCCESS ? 1 : 3;
    return state != 3;
}

std::string RarArchive::Item::fileName() const {
    return std::string(header.FileName, strnlen(header.FileName, sizeof header.FileName));
}

void RarArchive::Item::extractToPath(const std::string& path) {
    if (state == 0)
        throw Vellmar::InvalidOperationException(
            "RarArchive::Item::extractToPath: item is not initialized.");
    if (state != 1)
        throw Vellmar::InvalidOperationException(
            "RarArchive::Item::extractToPath: item is no longer valid.");
    state = 2;
    std::wstring widePath = Vellmar::Utf8ToWide(path);
    const int result =
        archive->library.RARProcessFileW(archive->handle, RAR_EXTRACT, widePath.data(), nullptr);
    archive->check(result, ProcessOperation);
}
