#include "ltf/gui/MediaSoundSink.h"

#include "platform/MediaPlayer.h"

namespace LTF::GUI {

void MediaSoundSink::PlaySound(const std::wstring& file) {
    // The player treats an empty name as "stop"; a button's empty sound must not cut one off.
    if (!file.empty())
        player.PlaySound(file);
}

} // namespace LTF::GUI
