#pragma once

#include "ltf/gui/BitmapCache.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace LTF::GUI {

// Decodes files into the bitmap cache on a thread of its own, in the order given, and holds
// them until destroyed: a window building several pages finds the later pages' large
// backgrounds decoded while it was busy with the first. Destruction stops after the file in
// hand and waits for it.
class BitmapPrefetch {
public:
    explicit BitmapPrefetch(std::vector<std::string> nativePaths);
    ~BitmapPrefetch();
    BitmapPrefetch(const BitmapPrefetch&) = delete;
    BitmapPrefetch& operator=(const BitmapPrefetch&) = delete;

private:
    void Run();

    std::vector<std::string> paths;
    std::vector<BitmapCache::Image> held;
    std::atomic<bool> cancelled{false};
    std::thread worker;
};

} // namespace LTF::GUI
