#pragma once

#include "platform/MediaPlayer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

// The launcher's one background music under the alias "myfile", and the mute state that
// pauses and resumes every open medium. Errors leave it silent.
class BackgroundMusic {
public:
    // Null: the process-wide player, shared by every engine (media commands act on
    // everything the process opened).
    explicit BackgroundMusic(std::shared_ptr<Vellmar::Platform::MediaPlayer> player = nullptr);
    ~BackgroundMusic();
    BackgroundMusic(const BackgroundMusic&) = delete;
    BackgroundMusic& operator=(const BackgroundMusic&) = delete;

    // Opens and plays the file once; nothing when muted or for an empty path.
    void Play(const std::wstring& path);

    // Play without the wait for the sound library: the file becomes the music now, and
    // StartReserved plays it. Nothing is reserved (false) when muted or for an empty path.
    bool Reserve(const std::wstring& path);
    // Loads the sound library on a thread of its own (it reads the environment, which the
    // launcher never changes; it ends with this object), then hands the start of the reserved
    // file to `deliver`, which that thread calls and which must run it on the user-interface
    // thread. A mute in between pauses the music as it starts, as if it had been playing.
    using Deliver = std::function<void(std::function<void()>)>;
    void StartReserved(Deliver deliver);
    // "pause all" when it becomes muted, "resume all" when not; returns the new state.
    bool ToggleMute();
    bool IsMuted() const { return muted; }
    void CloseAll();

    const std::wstring& File() const { return musicFile; }
    Vellmar::Platform::MediaPlayer& Player() { return *player; }

    static constexpr const wchar_t* kAlias = L"myfile";
    static std::shared_ptr<Vellmar::Platform::MediaPlayer> ProcessPlayer();

private:
    void PlayReserved();

    std::shared_ptr<Vellmar::Platform::MediaPlayer> player;
    std::thread preparing;
    std::wstring musicFile;
    std::optional<std::wstring> reserved;
    bool muted = false;
};
