#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

struct _GstElement;
struct _GstBus;
struct _GstMessage;

namespace Vellmar::Platform {

class GstLibrary;

// The one owner of GStreamer objects: a playbin that plays one file once, audio only. Bus
// messages are handled synchronously where they are posted and then dropped, so no main loop
// is needed and nothing piles up.
class GstPlayback {
public:
    // Nothing when GStreamer cannot start, the file does not exist or the pipeline cannot be
    // built. `audioSink` is a launch description ("fakesink sync=true"); empty: the default.
    static std::unique_ptr<GstPlayback> Create(const std::string& nativePath,
                                               const std::string& audioSink);
    // Loads and starts GStreamer and the plug-ins a playbin needs, so that the first Create
    // finds them ready; any thread, any number of times, also while Create runs. Starting
    // reads the environment: no other thread may change it meanwhile. False when GStreamer
    // or one of the plug-ins is not there.
    static bool Prepare();
    GstPlayback(const GstPlayback&) = delete;
    GstPlayback& operator=(const GstPlayback&) = delete;
    ~GstPlayback();

    void Play();
    // Both wait (bounded) for the pipeline to settle so that the position holds still.
    void Pause();
    void Resume();

    bool Ended() const { return endCount.load() > 0; }
    int EndCount() const { return endCount.load(); }
    bool Failed() const { return failed.load(); }
    std::optional<std::chrono::nanoseconds> Position() const;

private:
    explicit GstPlayback(const GstLibrary& gst) : gst(gst) {}
    static int OnMessage(_GstBus* bus, _GstMessage* message, void* self);

    const GstLibrary& gst;
    _GstElement* pipeline = nullptr;
    std::atomic<int> endCount{0};
    std::atomic<bool> failed{false};
};

} // namespace Vellmar::Platform
