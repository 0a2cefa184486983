#include "platform/unrar/ArchiveReader.h"

#include "platform/unrar/VolumeChain.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

namespace Vellmar::Unrar {

namespace {

// libarchive converts Unicode names through the thread's locale; in the "C" locale of a
// program that never called setlocale they would lose every non-ASCII character.
class Utf8Locale {
public:
    explicit Utf8Locale(locale_t utf8) {
        if (utf8)
            previous = ::uselocale(utf8);
    }
    ~Utf8Locale() {
        if (previous)
            ::uselocale(previous);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t previous = static_cast<locale_t>(0);
};

la_ssize_t ReadCallback(archive*, void* data, const void** buffer) {
    return static_cast<VolumeChain*>(data)->read(buffer);
}

la_int64_t SkipCallback(archive*, void* data, la_int64_t request) {
    return static_cast<VolumeChain*>(data)->skip(request);
}

EntryInfo::Kind KindOf(archive_entry* entry) {
    if (archive_entry_hardlink(entry) != nullptr)
        return EntryInfo::Kind::Link;
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
        return EntryInfo::Kind::File;
    case AE_IFDIR:
        return EntryInfo::Kind::Directory;
    case AE_IFLNK:
        return EntryInfo::Kind::Link;
    default:
        return EntryInfo::Kind::Other;
    }
}

} // namespace

void ArchiveReader::Free::operator()(archive* a) const {
    archive_read_free(a);
}

void ArchiveReader::FreeLocale::operator()(void* locale) const {
    ::freelocale(static_cast<locale_t>(locale));
}

ArchiveReader::ArchiveReader(VolumeChain& source)
    : source(source), utf8(::newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}

ArchiveReader::~ArchiveReader() = default;

int ArchiveReader::open() {
    Utf8Locale scope(static_cast<locale_t>(utf8.get()));
    handle.reset(archive_read_new());
    if (!handle)
        return ARCHIVE_FATAL;
    archive_read_support_format_rar(handle.get());
    archive_read_support_format_rar5(handle.get());
    return archive_read_open2(handle.get(), &source, nullptr, ReadCallback, SkipCallback, nullptr);
}

int ArchiveReader::next(EntryInfo& info) {
    Utf8Locale scope(static_cast<locale_t>(utf8.get()));
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(handle.get(), &entry);
    if (status < ARCHIVE_WARN || entry == nullptr)
        return status == ARCHIVE_EOF ? ARCHIVE_EOF
                                     : (status < ARCHIVE_WARN ? status : ARCHIVE_FATAL);
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = utf8 ? utf8 : archive_entry_pathname(entry);
    info.path = raw ? raw : "";
    info.kind = KindOf(entry);
    info.size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
    info.encrypted = archive_entry_is_data_encrypted(entry) > 0;
    info.mtime = archive_entry_mtime(entry);
    info.mtimeNanoseconds = archive_entry_mtime_nsec(entry);
    info.mode = archive_entry_perm(entry);
    return status;
}

int ArchiveReader::readBlock(const void** data, std::size_t* size) {
    Utf8Locale scope(static_cast<locale_t>(utf8.get()));
    la_int64_t offset = 0;
    return archive_read_data_block(handle.get(), data, size, &offset);
}

int ArchiveReader::skipData() {
    Utf8Locale scope(static_cast<locale_t>(utf8.get()));
    return archive_read_data_skip(handle.get());
}

std::string ArchiveReader::errorText() const {
    const char* text = handle ? archive_error_string(handle.get()) : nullptr;
    return text ? text : "";
}

} // namespace Vellmar::Unrar
