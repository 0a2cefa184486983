#include "ltf/gui/BitmapPrefetch.h"

#include <system_error>

namespace LTF::GUI {

BitmapPrefetch::BitmapPrefetch(std::vector<std::string> nativePaths)
    : paths(std::move(nativePaths)) {
    held.reserve(paths.size());
    try {
        worker = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread: every file is decoded when it is first asked for, as without this.
    }
}

BitmapPrefetch::~BitmapPrefetch() {
    cancelled = true;
    if (worker.joinable())
        worker.join();
}

void BitmapPrefetch::Run() {
    for (const std::string& path : paths) {
        if (cancelled)
            return;
        try {
            held.push_back(BitmapCache::Process().Load(path));
        } catch (...) {
            // Out of memory here: whoever needs the file reports it when it asks.
        }
    }
}

} // namespace LTF::GUI
