// Where the program learns which application has the focus, chosen from the
// session (XDG_SESSION_TYPE, XDG_CURRENT_DESKTOP, DISPLAY) rather than by
// trying every way in turn.
#pragma once

#include "base/data_folder.h"

namespace tvq {

enum class FocusSource {
    kX11,           // an X11 session: the root window's _NET_ACTIVE_WINDOW
    kKWin,          // KDE Plasma on Wayland: a KWin script calls the program
    kGnomeShell,    // GNOME on Wayland: the program's GNOME Shell extension calls it
    kXWaylandOnly,  // another Wayland desktop: only X clients, through XWayland
    kNone,          // nothing to follow
};

FocusSource chooseFocusSource(const Environment& env);

// The text key that says how automatic switching works on this desktop, or
// why it cannot.
const char* focusSourceTextKey(FocusSource source);

}  // namespace tvq
