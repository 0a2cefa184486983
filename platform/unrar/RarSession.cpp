#include "platform/unrar/RarSession.h"

#include "platform/unrar/Blake2sp.h"
#include "platform/unrar/Destination.h"
#include "platform/unrar/EntryPath.h"
#include "support/Text.h"

#include <archive.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

namespace Vellmar::Unrar {

namespace {

constexpr std::size_t kPasswordBufferSize = 128;
constexpr std::size_t kVolumeNameBufferSize = 1024;

template <std::size_t N> void CopyNarrow(char (&target)[N], const std::string& text) {
    const std::size_t count = std::min(text.size(), N - 1);
    std::memcpy(target, text.data(), count);
    target[count] = '\0';
}

template <std::size_t N> void CopyWide(wchar_t (&target)[N], const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const std::size_t count = std::min(wide.size(), N - 1);
    std::wmemcpy(target, wide.data(), count);
    target[count] = L'\0';
}

unsigned DosTime(std::int64_t seconds) {
    const time_t value = static_cast<time_t>(seconds);
    struct tm local {};
    if (::localtime_r(&value, &local) == nullptr || local.tm_year < 80)
        return 0;
    return static_cast<unsigned>(local.tm_year - 80) << 25 |
           static_cast<unsigned>(local.tm_mon + 1) << 21 |
           static_cast<unsigned>(local.tm_mday) << 16 | static_cast<unsigned>(local.tm_hour) << 11 |
           static_cast<unsigned>(local.tm_min) << 5 | static_cast<unsigned>(local.tm_sec / 2);
}

std::uint64_t FileTime(std::int64_t seconds, long nanoseconds) {
    constexpr std::int64_t kEpochDifference = 11644473600;
    if (seconds < -kEpochDifference)
        return 0;
    return static_cast<std::uint64_t>(seconds + kEpochDifference) * 10000000u +
           static_cast<std::uint64_t>(nanoseconds / 100);
}

// The archive's own header fields where its file header was read, else what libarchive says.
void FillFromRecord(const FileRecord& file, RARHeaderDataEx& header) {
    header.PackSize = static_cast<unsigned>(file.packSize);
    header.PackSizeHigh = static_cast<unsigned>(file.packSize >> 32);
    header.HostOS = file.hostOs;
    header.FileCRC = file.hasCrc ? file.crc : 0;
    header.UnpVer = file.version;
    header.Method = file.method;
    header.FileAttr = file.attributes;
    header.DictSize = file.dictionaryKb;
    header.HashType =
        file.hasBlake2 ? RAR_HASH_BLAKE2 : (file.hasCrc ? RAR_HASH_CRC32 : RAR_HASH_NONE);
    if (file.hasBlake2)
        std::memcpy(header.Hash, file.blake2.data(), sizeof header.Hash);
}

void FillHeader(const EntryInfo& entry, const VolumeChain& chain, const FileRecord* file,
                RARHeaderDataEx& header) {
    CopyNarrow(header.ArcName, chain.firstName());
    CopyWide(header.ArcNameW, chain.firstName());
    CopyNarrow(header.FileName, entry.path);
    CopyWide(header.FileNameW, entry.path);
    header.Flags = (entry.kind == EntryInfo::Kind::Directory ? RHDF_DIRECTORY : 0) |
                   (entry.encrypted ? RHDF_ENCRYPTED : 0) |
                   (chain.firstVolume().solid ? RHDF_SOLID : 0);
    const auto size = static_cast<std::uint64_t>(entry.size);
    header.UnpSize = header.PackSize = static_cast<unsigned>(size);
    header.UnpSizeHigh = header.PackSizeHigh = static_cast<unsigned>(size >> 32);
    header.HostOS = 3;
    header.FileTime = DosTime(entry.mtime);
    header.UnpVer = chain.firstVolume().format == ArchiveFormat::Rar5 ? 50 : 29;
    header.FileAttr = entry.mode | (entry.kind == EntryInfo::Kind::Directory ? 0040000 : 0100000);
    header.HashType = RAR_HASH_NONE;
    const std::uint64_t mtime = FileTime(entry.mtime, entry.mtimeNanoseconds);
    header.MtimeLow = static_cast<unsigned>(mtime);
    header.MtimeHigh = static_cast<unsigned>(mtime >> 32);
    if (file != nullptr)
        FillFromRecord(*file, header);
}

unsigned OpenFlags(const VolumeInfo& info) {
    return (info.volume ? ROADF_VOLUME : 0) | (info.locked ? ROADF_LOCK : 0) |
           (info.solid ? ROADF_SOLID : 0) | (info.newNumbering ? ROADF_NEWNUMBERING : 0) |
           (info.encryptedHeaders ? ROADF_ENCHEADERS : 0) |
           (info.firstVolume ? ROADF_FIRSTVOLUME : 0);
}

std::string ArchiveName(const RAROpenArchiveDataEx& data) {
    if (data.ArcNameW != nullptr && data.ArcNameW[0] != L'\0')
        return WideToUtf8(data.ArcNameW);
    return data.ArcName != nullptr ? data.ArcName : "";
}

} // namespace

std::unique_ptr<RarSession> RarSession::Open(RAROpenArchiveDataEx& data) {
    std::unique_ptr<RarSession> session(new RarSession());
    data.Flags = 0;
    data.CmtSize = 0;
    data.CmtState = 0;
    data.OpenResult = static_cast<unsigned>(session->chain.open(ArchiveName(data)));
    if (data.OpenResult != ERAR_SUCCESS)
        return nullptr;
    const VolumeInfo& info = session->chain.firstVolume();
    data.Flags = OpenFlags(info);
    // No decryption here: encrypted headers cannot even be listed.
    if (info.encryptedHeaders) {
        data.OpenResult = ERAR_UNKNOWN_FORMAT;
        return nullptr;
    }
    session->refuseData = info.solid && info.format == ArchiveFormat::Rar4;
    session->limits = ExtractLimits::FromEnvironment();
    session->callback = data.Callback;
    session->userData = data.UserData;
    RarSession* self = session.get();
    session->chain.setAsker(
        [self](std::string& name, int mode) { return self->askVolume(name, mode); });
    if (session->reader.open() != ARCHIVE_OK) {
        data.OpenResult = ERAR_BAD_ARCHIVE;
        return nullptr;
    }
    return session;
}

void RarSession::setCallback(UNRARCALLBACK function, LPARAM data) {
    callback = function;
    userData = data;
}

int RarSession::message(UINT msg, LPARAM p1, LPARAM p2) {
    if (callback != nullptr)
        return callback(msg, userData, p1, p2);
    // The older procedures answer 0 to stop.
    if (msg == UCM_CHANGEVOLUME && changeVolProc != nullptr)
        return changeVolProc(reinterpret_cast<char*>(p1), static_cast<int>(p2)) == 0 ? -1 : 1;
    if (msg == UCM_PROCESSDATA && processDataProc != nullptr)
        return processDataProc(reinterpret_cast<unsigned char*>(p1), static_cast<int>(p2)) == 0 ? -1
                                                                                                : 1;
    if (msg == UCM_CHANGEVOLUME && p2 == RAR_VOL_ASK)
        return -1;
    return msg == UCM_NEEDPASSWORD ? -1 : 1;
}

bool RarSession::askVolume(std::string& name, int mode) {
    std::vector<char> buffer(kVolumeNameBufferSize, '\0');
    std::memcpy(buffer.data(), name.data(), std::min(name.size(), buffer.size() - 1));
    if (message(UCM_CHANGEVOLUME, reinterpret_cast<LPARAM>(buffer.data()), mode) == -1)
        return false;
    buffer.back() = '\0';
    name = buffer.data();
    return true;
}

int RarSession::readFailure(int status) {
    if (status >= ARCHIVE_WARN)
        return ERAR_SUCCESS;
    switch (chain.failure()) {
    case VolumeChain::Failure::Missing:
    case VolumeChain::Failure::Stopped:
        return ERAR_EOPEN;
    case VolumeChain::Failure::NotAVolume:
        return ERAR_BAD_ARCHIVE;
    case VolumeChain::Failure::Read:
        return ERAR_EREAD;
    default:
        return ERAR_BAD_DATA;
    }
}

int RarSession::readHeader(RARHeaderDataEx& header) {
    current.reset();
    if (finalResult != ERAR_SUCCESS)
        return finalResult;
    if (entriesRead >= limits.maxEntries)
        return finalResult = ERAR_BAD_DATA;
    EntryInfo entry;
    const int status = reader.next(entry);
    if (status == ARCHIVE_EOF)
        return finalResult = ERAR_END_ARCHIVE;
    if (status < ARCHIVE_WARN)
        return finalResult = readFailure(status);
    ++entriesRead;
    FillHeader(entry, chain, chain.file(entriesRead - 1), header);
    current = std::move(entry);
    return ERAR_SUCCESS;
}

int RarSession::process(int operation, const char* destPath, const char* destName) {
    if (!current)
        return finalResult != ERAR_SUCCESS ? finalResult : ERAR_UNKNOWN;
    int result = ERAR_SUCCESS;
    if (operation == RAR_SKIP) {
        // Skipping is left to the next header read, which also crosses volumes as needed.
    } else if (operation != RAR_TEST && operation != RAR_EXTRACT) {
        result = ERAR_UNKNOWN;
    } else if (refuseData) {
        result = ERAR_UNKNOWN_FORMAT;
    } else if (current->encrypted) {
        result = refuseEncrypted();
    } else {
        result = operation == RAR_TEST ? test() : extract(destPath, destName);
    }
    current.reset();
    return result;
}

int RarSession::refuseEncrypted() {
    if (password.empty()) {
        char buffer[kPasswordBufferSize] = {};
        if (message(UCM_NEEDPASSWORD, reinterpret_cast<LPARAM>(buffer), sizeof buffer) != -1)
            password.assign(buffer, strnlen(buffer, sizeof buffer));
    }
    // No decryption is available: a password, when given, cannot be used.
    return password.empty() ? ERAR_MISSING_PASSWORD : ERAR_UNKNOWN_FORMAT;
}

int RarSession::pump(const std::function<int(const void*, std::size_t)>& sink) {
    const std::size_t index = entriesRead - 1;
    const FileRecord* file = chain.file(index);
    // A split file may name its hash only in its last part, which is not probed yet.
    std::optional<Blake2sp> blake2;
    if (file != nullptr && (file->hasBlake2 || file->splitAfter))
        blake2.emplace();
    std::uint32_t crc = 0;
    while (true) {
        const void* data = nullptr;
        std::size_t size = 0;
        const int status = reader.readBlock(&data, &size);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_OK)
            return status == ARCHIVE_WARN ? ERAR_BAD_DATA : readFailure(status);
        if (size == 0)
            continue;
        if (const int result = sink(data, size); result != ERAR_SUCCESS)
            return result;
        crc = static_cast<std::uint32_t>(
            ::crc32(crc, static_cast<const Bytef*>(data), static_cast<uInt>(size)));
        if (blake2)
            blake2->update(data, size);
        if (message(UCM_PROCESSDATA, reinterpret_cast<LPARAM>(data), static_cast<LPARAM>(size)) ==
            -1)
            return ERAR_UNKNOWN;
    }
    // Read again: the list grows as later volumes are opened.
    file = chain.file(index);
    if (file == nullptr)
        return ERAR_SUCCESS;
    if (file->hasCrc && file->crc != crc)
        return ERAR_BAD_DATA;
    if (file->hasBlake2 && (!blake2 || blake2->final() != file->blake2))
        return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

int RarSession::test() {
    return pump([](const void*, std::size_t) { return ERAR_SUCCESS; });
}

int RarSession::extract(const char* destPath, const char* destName) {
    const EntryInfo& entry = *current;
    if (entry.kind == EntryInfo::Kind::Link || entry.kind == EntryInfo::Kind::Other)
        return ERAR_ECREATE;
    std::string folderPath = destPath != nullptr ? destPath : "";
    std::vector<std::string> components;
    if (destName != nullptr && *destName != '\0') {
        // The caller names the target itself, so the stored name plays no part.
        const std::string target = destName;
        const std::size_t slash = target.find_last_of('/');
        folderPath = slash == std::string::npos ? "" : target.substr(0, slash + 1);
        components.push_back(slash == std::string::npos ? target : target.substr(slash + 1));
        if (components.back().empty() || components.back() == "." || components.back() == "..")
            return ERAR_ECREATE;
    } else {
        auto split = SplitEntryPath(entry.path);
        if (!split)
            return ERAR_ECREATE;
        components = std::move(*split);
    }
    Destination destination;
    if (!destination.open(folderPath))
        return ERAR_ECREATE;
    if (entry.kind == EntryInfo::Kind::Directory)
        return destination.folder(components) ? ERAR_SUCCESS : ERAR_ECREATE;
    if (static_cast<std::uint64_t>(entry.size) > limits.maxTotalSize - bytesWritten)
        return ERAR_ECREATE;
    return extractFile(destination, components);
}

int RarSession::extractFile(const Destination& destination,
                            std::span<const std::string> components) {
    const UniqueFd folder = destination.folder(components.first(components.size() - 1));
    if (!folder)
        return ERAR_ECREATE;
    const EntryInfo& entry = *current;
    PendingFile file(folder.get(), components.back(), (entry.mode & 0777) | 0600);
    if (!file.isOpen())
        return ERAR_ECREATE;
    const int result = pump([&](const void* data, std::size_t size) {
        if (size > limits.maxTotalSize - bytesWritten)
            return ERAR_EWRITE;
        if (!file.write(data, size))
            return ERAR_EWRITE;
        bytesWritten += size;
        return ERAR_SUCCESS;
    });
    if (result != ERAR_SUCCESS)
        return result;
    return file.commit(entry.mtime, entry.mtimeNanoseconds) ? ERAR_SUCCESS : ERAR_ECREATE;
}

} // namespace Vellmar::Unrar
