#pragma once

#include <string>

namespace LTF::GUI {

// Where a button's sounds go; the page plugs in the media player.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Asynchronous; a newer sound replaces one still playing. An empty name plays nothing.
    virtual void PlaySound(const std::wstring& file) = 0;
};

} // namespace LTF::GUI
