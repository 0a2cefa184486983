#include "engine/BackgroundMusic.h"

#include <mutex>
#include <system_error>

using Vellmar::Platform::MediaPlayer;

BackgroundMusic::BackgroundMusic(std::shared_ptr<MediaPlayer> player)
    : player(player ? std::move(player) : ProcessPlayer()) {}

BackgroundMusic::~BackgroundMusic() {
    if (preparing.joinable())
        preparing.join();
}

void BackgroundMusic::PrepareAhead() {
    if (preparing.joinable())
        return;
    try {
        preparing = std::thread([] { MediaPlayer::Prepare(); });
    } catch (const std::system_error&) {
        // No thread: the first Play starts the library itself, as without this.
    }
}

std::shared_ptr<MediaPlayer> BackgroundMusic::ProcessPlayer() {
    // Lives while some engine holds it, so that it is gone before static destruction.
    static std::mutex lock;
    static std::weak_ptr<MediaPlayer> shared;
    std::lock_guard guard(lock);
    std::shared_ptr<MediaPlayer> current = shared.lock();
    if (!current) {
        current = std::make_shared<MediaPlayer>();
        shared = current;
    }
    return current;
}

void BackgroundMusic::Play(const std::wstring& path) {
    if (!path.empty())
        musicFile = path;
    if (muted || path.empty())
        return;
    if (player->Open(kAlias, path))
        player->Play(kAlias);
}

bool BackgroundMusic::ToggleMute() {
    muted = !muted;
    if (muted)
        player->PauseAll();
    else
        player->ResumeAll();
    return muted;
}

void BackgroundMusic::CloseAll() {
    player->CloseAll();
}
