#include "platform/font_configuration.h"

#include <fontconfig/fontconfig.h>

#include <system_error>

namespace tvq {

FontConfigurationReader::FontConfigurationReader() {
    try {
        // FcInit loads the configuration once per process; the toolkit's own
        // FcInit then finds it loaded.
        thread_ = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread: the toolkit reads it later, on the main thread.
    }
}

void FontConfigurationReader::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace tvq
