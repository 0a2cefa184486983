#include "platform/GstLibrary.h"

#include "support/VellmarException.h"

namespace Vellmar::Platform {

namespace {

// Kept reachable although never used again: a library whose start failed is not unloaded
// either, its half-built state may still refer to it.
const GstLibrary* loaded = nullptr;

} // namespace

GstLibrary::GstLibrary() : DynamicLibrary(L"libgstreamer-1.0.so.0") {
    bind(gst_init_check, "gst_init_check");
    bind(gst_filename_to_uri, "gst_filename_to_uri");
    bind(gst_element_factory_make, "gst_element_factory_make");
    bind(gst_object_ref_sink, "gst_object_ref_sink");
    bind(gst_object_unref, "gst_object_unref");
    bind(gst_parse_bin_from_description, "gst_parse_bin_from_description");
    bind(gst_element_get_bus, "gst_element_get_bus");
    bind(gst_bus_set_sync_handler, "gst_bus_set_sync_handler");
    bind(gst_element_set_state, "gst_element_set_state");
    bind(gst_element_get_state, "gst_element_get_state");
    bind(gst_element_query_position, "gst_element_query_position");
    bind(gst_plugin_load_by_name, "gst_plugin_load_by_name");
}

const GstLibrary* GstLibrary::Started() {
    static const GstLibrary* const started = [] {
        try {
            loaded = new GstLibrary();
        } catch (const Win32::LinkageError&) {
            return static_cast<const GstLibrary*>(nullptr);
        }
        return loaded->gst_init_check(nullptr, nullptr, nullptr) ? loaded : nullptr;
    }();
    return started;
}

} // namespace Vellmar::Platform
