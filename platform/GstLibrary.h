#pragma once

#include "support/DynamicLibrary.h"

#include <gst/gst.h>

namespace Vellmar::Platform {

// GStreamer's core library, loaded when the first page plays sound rather than at every start.
// The members are the library's own functions under their own names; GLib and GObject stay
// linked, the GUI toolkit loads them anyway.
class GstLibrary : public DynamicLibrary {
public:
    // The process-wide instance with GStreamer initialised, or nullptr when the library is
    // missing or does not start. Decided once, by whichever thread asks first; the others wait
    // for that answer. Never unloaded: GStreamer keeps threads and exit handlers of its own.
    static const GstLibrary* Started();

    decltype(&::gst_init_check) gst_init_check = nullptr;
    decltype(&::gst_filename_to_uri) gst_filename_to_uri = nullptr;
    decltype(&::gst_element_factory_make) gst_element_factory_make = nullptr;
    decltype(&::gst_object_ref_sink) gst_object_ref_sink = nullptr;
    decltype(&::gst_object_unref) gst_object_unref = nullptr;
    decltype(&::gst_parse_bin_from_description) gst_parse_bin_from_description = nullptr;
    decltype(&::gst_element_get_bus) gst_element_get_bus = nullptr;
    decltype(&::gst_bus_set_sync_handler) gst_bus_set_sync_handler = nullptr;
    decltype(&::gst_element_set_state) gst_element_set_state = nullptr;
    decltype(&::gst_element_get_state) gst_element_get_state = nullptr;
    decltype(&::gst_element_query_position) gst_element_query_position = nullptr;
    decltype(&::gst_plugin_load_by_name) gst_plugin_load_by_name = nullptr;

private:
    GstLibrary();
};

} // namespace Vellmar::Platform
