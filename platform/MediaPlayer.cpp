#include "platform/MediaPlayer.h"

#include "platform/GstPlayback.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <cstdlib>

namespace Vellmar::Platform {

namespace {

MediaPlayer::Status StatusOfPlayback(const GstPlayback* playback) {
    MediaPlayer::Status status;
    if (!playback)
        return status;
    status.open = true;
    status.failed = playback->Failed();
    status.endCount = playback->EndCount();
    status.position = playback->Position();
    return status;
}

} // namespace

MediaPlayer::MediaPlayer(std::string sink) : audioSink(std::move(sink)) {
    if (audioSink.empty())
        if (const char* fromEnvironment = std::getenv("VELLMAR_AUDIO_SINK"))
            audioSink = fromEnvironment;
}

MediaPlayer::~MediaPlayer() {
    CloseAll();
    sound.reset();
}

bool MediaPlayer::Prepare() {
    return GstPlayback::Prepare();
}

bool MediaPlayer::Open(std::wstring_view alias, std::wstring_view path) {
    const std::wstring key = ToLower(alias);
    media.erase(key);
    if (path.empty())
        return false;
    auto playback = GstPlayback::Create(NativePath(path), audioSink);
    if (!playback)
        return false;
    media[key] = std::move(playback);
    return true;
}

bool MediaPlayer::Play(std::wstring_view alias) {
    const auto found = media.find(ToLower(alias));
    if (found == media.end())
        return false;
    found->second->Play();
    return true;
}

void MediaPlayer::PauseAll() {
    for (auto& [alias, playback] : media)
        playback->Pause();
}

void MediaPlayer::ResumeAll() {
    for (auto& [alias, playback] : media)
        playback->Resume();
}

void MediaPlayer::CloseAll() {
    media.clear();
}

void MediaPlayer::PlaySound(std::wstring_view path) {
    sound.reset(); // a newer sound cuts off the one still playing
    if (path.empty())
        return;
    sound = GstPlayback::Create(NativePath(path), audioSink);
    if (sound)
        sound->Play();
}

MediaPlayer::Status MediaPlayer::StatusOf(std::wstring_view alias) const {
    const auto found = media.find(ToLower(alias));
    return StatusOfPlayback(found == media.end() ? nullptr : found->second.get());
}

MediaPlayer::Status MediaPlayer::SoundStatus() const {
    return StatusOfPlayback(sound.get());
}

} // namespace Vellmar::Platform
