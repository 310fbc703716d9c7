#include "base/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "base/constants.h"

namespace tvq::debug {
namespace {

struct Channel {
    Channel() {
        const char* flag = std::getenv(paths::kDebugEnvironment);
        on = flag != nullptr && std::strcmp(flag, "1") == 0;
    }
    std::mutex mutex;
    bool on = false;
    std::function<void(std::string_view)> sink;
};

Channel& channel() {
    static Channel instance;
    return instance;
}

}  // namespace

void write(std::string_view text) {
    Channel& c = channel();
    std::lock_guard lock(c.mutex);
    if (!c.on) {
        return;
    }
    if (c.sink) {
        c.sink(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
}

bool enabled() {
    Channel& c = channel();
    std::lock_guard lock(c.mutex);
    return c.on;
}

void redirectForTesting(std::function<void(std::string_view)> sink, bool on) {
    Channel& c = channel();
    std::lock_guard lock(c.mutex);
    c.sink = std::move(sink);
    c.on = on;
}

}  // namespace tvq::debug
