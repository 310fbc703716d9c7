#include "program/focus_source.h"

#include <string>

#include "base/text.h"

namespace tvq {
namespace {

bool set(const Environment& env, const char* name) {
    const auto value = env(name);
    return value && !value->empty();
}

// XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME").
bool desktopIs(const Environment& env, std::string_view wanted) {
    const std::string list = env("XDG_CURRENT_DESKTOP").value_or("");
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(':', start), list.size());
        if (equalIgnoringAsciiCase(std::string_view(list).substr(start, end - start), wanted)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

FocusSource chooseFocusSource(const Environment& env) {
    const std::string type = env("XDG_SESSION_TYPE").value_or("");
    const bool wayland =
        equalIgnoringAsciiCase(type, "wayland") || (type.empty() && set(env, "WAYLAND_DISPLAY"));
    if (!wayland) {
        return set(env, "DISPLAY") ? FocusSource::kX11 : FocusSource::kNone;
    }
    if (desktopIs(env, "KDE")) {
        return FocusSource::kKWin;
    }
    if (desktopIs(env, "GNOME")) {
        return FocusSource::kGnomeShell;
    }
    return set(env, "DISPLAY") ? FocusSource::kXWaylandOnly : FocusSource::kNone;
}

const char* focusSourceTextKey(FocusSource source) {
    switch (source) {
        case FocusSource::kX11:
            return "apps_focus_x11_text";
        case FocusSource::kKWin:
            return "apps_focus_kwin_text";
        case FocusSource::kGnomeShell:
            return "apps_focus_gnome_text";
        case FocusSource::kXWaylandOnly:
            return "apps_focus_xwayland_text";
        case FocusSource::kNone:
            break;
    }
    return "apps_focus_none_text";
}

}  // namespace tvq
