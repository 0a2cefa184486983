#include "ltf/gui/BitmapCache.h"

#include <QFile>
#include <QImageReader>

#include <sys/stat.h>

namespace LTF::GUI {

BitmapCache& BitmapCache::Process() {
    static BitmapCache cache;
    return cache;
}

BitmapCache::Image BitmapCache::Load(const std::string& nativePath) {
    Stamp stamp;
    if (!StampOf(nativePath, stamp))
        return nullptr;
    {
        std::unique_lock guard(lock);
        decoded.wait(guard, [&] { return decoding.count(nativePath) == 0; });
        if (Image image = Cached(nativePath, stamp))
            return image;
        decoding.insert(nativePath);
    }
    Image image;
    try {
        image = Decode(nativePath);
    } catch (...) {
        Finish(nativePath, stamp, nullptr);
        throw;
    }
    Finish(nativePath, stamp, image);
    return image;
}

void BitmapCache::Finish(const std::string& path, const Stamp& stamp, const Image& image) {
    const std::lock_guard guard(lock);
    decoding.erase(path);
    if (image) {
        DropExpired();
        entries[path] = Entry{stamp, image};
    }
    decoded.notify_all();
}

BitmapCache::Image BitmapCache::Cached(const std::string& path, const Stamp& stamp) const {
    const auto found = entries.find(path);
    if (found == entries.end() || !(found->second.stamp == stamp))
        return nullptr;
    return found->second.image.lock();
}

bool BitmapCache::StampOf(const std::string& path, Stamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    stamp =
        Stamp{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
              static_cast<std::uint64_t>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    return true;
}

BitmapCache::Image BitmapCache::Decode(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    QImageReader reader(&file);
    // A bitmap is recognised by its signature, so that no other format's plug-in is loaded and
    // asked; any other content is left to the readers to recognise.
    if (file.peek(2) == "BM") {
        reader.setFormat("bmp");
        reader.setAutoDetectImageFormat(false);
    } else
        reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    return std::make_shared<const QImage>(std::move(image));
}

void BitmapCache::DropExpired() {
    for (auto entry = entries.begin(); entry != entries.end();) {
        if (entry->second.image.expired())
            entry = entries.erase(entry);
        else
            ++entry;
    }
}

} // namespace LTF::GUI
