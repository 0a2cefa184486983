#pragma once

#include "platform/MediaPlayer.h"

#include <memory>
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

    // Starts the sound library on a thread of its own while the window is built, so that the
    // first Play does not wait for it. The thread reads the environment, which the launcher
    // never changes; it ends with this object.
    void PrepareAhead();

    // Opens and plays the file once; nothing when muted or for an empty path.
    void Play(const std::wstring& path);
    // "pause all" when it becomes muted, "resume all" when not; returns the new state.
    bool ToggleMute();
    bool IsMuted() const { return muted; }
    void CloseAll();

    const std::wstring& File() const { return musicFile; }
    Vellmar::Platform::MediaPlayer& Player() { return *player; }

    static constexpr const wchar_t* kAlias = L"myfile";
    static std::shared_ptr<Vellmar::Platform::MediaPlayer> ProcessPlayer();

private:
    std::shared_ptr<Vellmar::Platform::MediaPlayer> player;
    std::thread preparing;
    std::wstring musicFile;
    bool muted = false;
};
