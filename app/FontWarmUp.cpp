#include "app/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

FontWarmUp::FontWarmUp() {
    try {
        // The toolkit's own first call finds the configuration loaded and returns at once.
        worker = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread: the toolkit loads the configuration when it needs it, as without this.
    }
}

FontWarmUp::~FontWarmUp() {
    if (worker.joinable())
        worker.join();
}
