// Whether the window's page shows the mouse as there: its "no mouse" note
// is gone. False before the page is built.
#pragma once

#include <QWidget>

#include "app/main_window.h"

namespace tvq::testing {

inline bool mouseShown(const MainWindow& window) {
    const QWidget* note =
        window.page() != nullptr ? window.page()->boundControl("ms_1_no_mouse_note") : nullptr;
    return note != nullptr && note->isHidden();
}

}  // namespace tvq::testing
