#pragma once

#include <QImage>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace LTF::GUI {

// Decoded bitmap files, shared by path for as long as something holds them: the buttons of a
// launcher name the same few files over and over, and each read and decode costs start-up time.
// A file that has changed on disk since (a news update swaps in a new folder) is read afresh.
// Safe from any thread; a file being decoded for one caller is not decoded again for another.
class BitmapCache {
public:
    using Image = std::shared_ptr<const QImage>;

    static BitmapCache& Process();

    // The file's image in 32-bit form (premultiplied when it has alpha); null when it cannot be
    // read. The format is taken from the content, whatever the name says.
    Image Load(const std::string& nativePath);

private:
    struct Stamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        Stamp stamp;
        std::weak_ptr<const QImage> image;
    };

    static bool StampOf(const std::string& path, Stamp& stamp);
    static Image Decode(const std::string& path);
    Image Cached(const std::string& path, const Stamp& stamp) const;
    void Finish(const std::string& path, const Stamp& stamp, const Image& image);
    void DropExpired();

    std::mutex lock;
    std::condition_variable decoded;
    std::map<std::string, Entry> entries;
    std::set<std::string> decoding;
};

} // namespace LTF::GUI
