// Moves and clicks a pointer on a wlroots compositor, whose headless seat has no pointer of its
// own. Usage: virtual_pointer WIDTH HEIGHT, then one step a line on standard input: "move X Y"
// (layout pixels), "down" or "up" (left button); each is answered "ok" once the compositor had it.
#include "virtual-pointer-client.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

static struct zwlr_virtual_pointer_manager_v1* manager;

static void Global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void GlobalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static uint32_t Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const uint32_t width = (uint32_t)atoi(argv[1]), height = (uint32_t)atoi(argv[2]);
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    static const struct wl_registry_listener listener = {Global, GlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!manager) {
        fprintf(stderr, "the compositor offers no virtual pointer\n");
        return 1;
    }
    // The pointer lives as long as this program: a seat that loses it sends every window a leave.
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
    char line[128], step[16];
    int x, y;
    while (fgets(line, sizeof line, stdin)) {
        if (sscanf(line, "move %d %d", &x, &y) == 2) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, Now(), (uint32_t)x, (uint32_t)y, width,
                                                    height);
        } else if (sscanf(line, "%15s", step) == 1 &&
                   (strcmp(step, "down") == 0 || strcmp(step, "up") == 0)) {
            zwlr_virtual_pointer_v1_button(pointer, Now(), 0x110 /* BTN_LEFT */,
                                           strcmp(step, "down") == 0);
        } else {
            fprintf(stderr, "unknown step %s", line);
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
