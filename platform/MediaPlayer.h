#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

class GstPlayback;

// Music by alias and button sounds, after the string commands of a media control interface:
// open a file under an alias, play it once, pause all, resume all, close all. Failures of any
// kind leave it silent. Sounds are separate: one at a time, asynchronous, a newer one replacing
// one still playing; "pause all" does not touch them.
class MediaPlayer {
public:
    // `audioSink` is a GStreamer launch description for the audio output; empty: the
    // VELLMAR_AUDIO_SINK environment variable, else the system default.
    explicit MediaPlayer(std::string audioSink = {});
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;
    ~MediaPlayer();

    // Starts GStreamer ahead of the first page with sound, e.g. on a thread of its own while
    // the window is built; see GstPlayback::Prepare. False when playback will stay silent.
    static bool Prepare();

    // Aliases ignore letter case; opening an alias again replaces what it held. `path` may be
    // written Windows-style. False when nothing could be opened.
    bool Open(std::wstring_view alias, std::wstring_view path);
    bool Play(std::wstring_view alias);
    void PauseAll();
    void ResumeAll();
    void CloseAll();

    void PlaySound(std::wstring_view path);

    struct Status {
        bool open = false;
        bool failed = false;
        int endCount = 0; // end-of-stream notices seen
        std::optional<std::chrono::nanoseconds> position;
    };
    Status StatusOf(std::wstring_view alias) const;
    Status SoundStatus() const;

private:
    std::string audioSink;
    std::map<std::wstring, std::unique_ptr<GstPlayback>> media;
    std::unique_ptr<GstPlayback> sound;
};

} // namespace Vellmar::Platform
