#include "base/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "base/paths.h"

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
        return;
    }
    // Each write is one line on standard error, whether or not it brings
    // its own line end.
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (text.empty() || text.back() != '\n') {
        std::fputc('\n', stderr);
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
