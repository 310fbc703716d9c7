// A ".desktop" file of any content: what it names as an application is
// text a list can show, within its bounds.
#include <cstdlib>
#include <string_view>

#include "program/desktop_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvq;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto app = parseDesktopEntry("app.desktop", text);
    if (!app) {
        return 0;
    }
    if (app->id != "app" || app->name.empty() || app->name.size() > kMaxNameBytes ||
        app->icon.size() > kMaxIconBytes) {
        std::abort();
    }
    for (const std::string* s : {&app->name, &app->icon}) {
        for (const char c : *s) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F) {
                std::abort();
            }
        }
    }
    return 0;
}
