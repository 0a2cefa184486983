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

bool BackgroundMusic::Reserve(const std::wstring& path) {
    if (!path.empty())
        musicFile = path;
    if (muted || path.empty())
        return false;
    reserved = path;
    return true;
}

void BackgroundMusic::StartReserved(Deliver deliver) {
    if (!reserved || preparing.joinable())
        return;
    try {
        preparing = std::thread([this, deliver = std::move(deliver)] {
            MediaPlayer::Prepare();
            deliver([this] { PlayReserved(); });
        });
    } catch (const std::system_error&) {
        PlayReserved(); // no thread: Open loads the library here
    }
}

void BackgroundMusic::PlayReserved() {
    if (!reserved)
        return;
    const std::wstring path = std::move(*reserved);
    reserved.reset();
    if (player->Open(kAlias, path) && player->Play(kAlias) && muted)
        player->PauseAll();
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
    reserved.reset();
    player->CloseAll();
}
