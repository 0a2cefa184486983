#pragma once

#include "ltf/gui/SoundSink.h"
#include "platform/MediaPlayer.h"

// Button sounds through the engine's player.
class MediaSoundSink : public LTF::GUI::SoundSink {
public:
    explicit MediaSoundSink(Vellmar::Platform::MediaPlayer& player) : player(player) {}
    void PlaySound(const std::wstring& file) override {
        if (!file.empty())
            player.PlaySound(file);
    }

private:
    Vellmar::Platform::MediaPlayer& player;
};
