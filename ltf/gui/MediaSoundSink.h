#pragma once

#include "ltf/gui/SoundSink.h"

namespace Vellmar::Platform {
class MediaPlayer;
}

namespace LTF::GUI {

// Button sounds through the engine's media player, which plays them asynchronously and lets a
// newer one cut off an older one.
class MediaSoundSink : public SoundSink {
public:
    explicit MediaSoundSink(Vellmar::Platform::MediaPlayer& player) : player(player) {}

    void PlaySound(const std::wstring& file) override;

private:
    Vellmar::Platform::MediaPlayer& player;
};

} // namespace LTF::GUI
