#include "platform/GstPlayback.h"

#include "platform/GstLibrary.h"

#include <sys/stat.h>

namespace Vellmar::Platform {

namespace {

constexpr GstClockTime kSettleTimeout = 2 * GST_SECOND;
constexpr guint kPlayFlagVideo = 1 << 0;
constexpr guint kPlayFlagAudio = 1 << 1;
constexpr guint kPlayFlagText = 1 << 2;
constexpr guint kPlayFlagVis = 1 << 3;

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void SetState(const GstLibrary& gst, GstElement* pipeline, GstState state) {
    if (gst.gst_element_set_state(pipeline, state) == GST_STATE_CHANGE_ASYNC)
        gst.gst_element_get_state(pipeline, nullptr, nullptr, kSettleTimeout);
}

// Plug-ins every playbin needs; loading them is most of what the first Create would wait for.
constexpr const char* kPreparedPlugins[] = {"playback", "coreelements"};

} // namespace

std::unique_ptr<GstPlayback> GstPlayback::Create(const std::string& nativePath,
                                                 const std::string& audioSink) {
    const GstLibrary* started = GstLibrary::Started();
    if (!started || !IsRegularFile(nativePath))
        return nullptr;
    const GstLibrary& gst = *started;
    gchar* uri = gst.gst_filename_to_uri(nativePath.c_str(), nullptr);
    if (!uri)
        return nullptr;
    std::unique_ptr<GstPlayback> playback(new GstPlayback(gst));
    playback->pipeline = gst.gst_element_factory_make("playbin", nullptr);
    if (!playback->pipeline) {
        g_free(uri);
        return nullptr;
    }
    gst.gst_object_ref_sink(playback->pipeline);
    g_object_set(playback->pipeline, "uri", uri, nullptr);
    g_free(uri);
    guint flags = 0;
    g_object_get(playback->pipeline, "flags", &flags, nullptr);
    flags = (flags & ~(kPlayFlagVideo | kPlayFlagText | kPlayFlagVis)) | kPlayFlagAudio;
    g_object_set(playback->pipeline, "flags", flags, nullptr);
    if (!audioSink.empty()) {
        GstElement* sink = gst.gst_parse_bin_from_description(audioSink.c_str(), TRUE, nullptr);
        if (!sink)
            return nullptr;
        g_object_set(playback->pipeline, "audio-sink", sink, nullptr);
    }
    GstBus* bus = gst.gst_element_get_bus(playback->pipeline);
    gst.gst_bus_set_sync_handler(bus, reinterpret_cast<GstBusSyncHandler>(&GstPlayback::OnMessage),
                                 playback.get(), nullptr);
    gst.gst_object_unref(bus);
    return playback;
}

bool GstPlayback::Prepare() {
    const GstLibrary* gst = GstLibrary::Started();
    if (!gst)
        return false;
    bool loaded = true;
    for (const char* name : kPreparedPlugins) {
        GstPlugin* plugin = gst->gst_plugin_load_by_name(name);
        if (plugin)
            gst->gst_object_unref(plugin);
        loaded = loaded && plugin != nullptr;
    }
    return loaded;
}

GstPlayback::~GstPlayback() {
    if (!pipeline)
        return;
    // Reaching NULL joins the streaming threads, so the handler is not called afterwards.
    gst.gst_element_set_state(pipeline, GST_STATE_NULL);
    GstBus* bus = gst.gst_element_get_bus(pipeline);
    gst.gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst.gst_object_unref(bus);
    gst.gst_object_unref(pipeline);
}

int GstPlayback::OnMessage(_GstBus*, _GstMessage* message, void* self) {
    auto* playback = static_cast<GstPlayback*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        ++playback->endCount;
        break;
    case GST_MESSAGE_ERROR:
        playback->failed = true;
        break;
    default:
        break;
    }
    return GST_BUS_DROP;
}

void GstPlayback::Play() {
    gst.gst_element_set_state(pipeline, GST_STATE_PLAYING);
}

void GstPlayback::Pause() {
    if (Ended() || Failed())
        return;
    GstState current = GST_STATE_NULL;
    GstState pending = GST_STATE_VOID_PENDING;
    gst.gst_element_get_state(pipeline, &current, &pending, 0);
    if (current == GST_STATE_PLAYING || pending == GST_STATE_PLAYING)
        SetState(gst, pipeline, GST_STATE_PAUSED);
}

void GstPlayback::Resume() {
    // A sink at its end would post EOS again on resuming; an ended file stays ended.
    if (Ended() || Failed())
        return;
    GstState current = GST_STATE_NULL;
    gst.gst_element_get_state(pipeline, &current, nullptr, 0);
    if (current == GST_STATE_PAUSED)
        SetState(gst, pipeline, GST_STATE_PLAYING);
}

std::optional<std::chrono::nanoseconds> GstPlayback::Position() const {
    gint64 position = 0;
    if (!gst.gst_element_query_position(pipeline, GST_FORMAT_TIME, &position) || position < 0)
        return std::nullopt;
    return std::chrono::nanoseconds(position);
}

} // namespace Vellmar::Platform
