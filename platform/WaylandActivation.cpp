#include "platform/WaylandActivation.h"

#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

namespace Vellmar::Platform {

namespace {

// A compositor answers a token's commit within a few round trips or not at all.
constexpr int kMaxRoundTrips = 4;

struct Request {
    xdg_activation_v1* activation = nullptr;
    std::string token;
    bool done = false;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* request = static_cast<Request*>(data);
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0 && !request->activation)
        request->activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void GlobalRemove(void*, wl_registry*, uint32_t) {}

void Done(void* data, xdg_activation_token_v1*, const char* token) {
    auto* request = static_cast<Request*>(data);
    request->token = token ? token : "";
    request->done = true;
}

const wl_registry_listener kRegistryListener{Global, GlobalRemove};
const xdg_activation_token_v1_listener kTokenListener{Done};

} // namespace

std::string WaylandActivation::RequestToken() {
    // Without it libwayland would try a default socket, even inside an X11 session.
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name)
        return {};
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return {};
    Request request;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &request);
    wl_display_roundtrip(display);
    if (request.activation) {
        xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(request.activation);
        xdg_activation_token_v1_add_listener(token, &kTokenListener, &request);
        xdg_activation_token_v1_commit(token);
        for (int trip = 0; trip < kMaxRoundTrips && !request.done; ++trip)
            if (wl_display_roundtrip(display) < 0)
                break;
        xdg_activation_token_v1_destroy(token);
        xdg_activation_v1_destroy(request.activation);
    }
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return request.token;
}

} // namespace Vellmar::Platform
