#include "program/main_window_logic.h"

#include "base/text.h"
#include "profiles/profile.h"

namespace tvq {

std::string MainWindowLogic::dpiText(std::int32_t stageValue) {
    return "DPI: " + std::to_string(static_cast<long long>(stageValue) * kDpiStep);
}

void MainWindowLogic::showAndActivate(bool skipShowWhenVisible) {
    if (!(skipShowWhenVisible && view_.windowShown())) {
        view_.showWindow();
    }
    if (view_.windowMinimized()) {
        view_.restoreWindow();
    }
    view_.bringToFront();
}

void MainWindowLogic::putAway() {
    // With or without a tray the program goes on (notifications, profiles
    // that follow the focus); started again, it comes back to the front.
    view_.hideWindow();
}

void MainWindowLogic::trayClicked(TrayClick click) {
    switch (click) {
        case TrayClick::kPrimary:
            showAndActivate(true);
            break;
        case TrayClick::kContext:
            view_.openTrayMenu();
            break;
    }
}

void MainWindowLogic::trayMenuPicked(std::string_view item) {
    if (equalIgnoringAsciiCase(item, "configuration")) {
        showAndActivate(false);
    } else if (equalIgnoringAsciiCase(item, "exit")) {
        exitRequested();
    } else if (equalIgnoringAsciiCase(item, "autostart")) {
        view_.toggleStartWithDesktop();
    } else if (equalIgnoringAsciiCase(item, "battery")) {
        view_.openBatteryAlerts();
    } else if (equalIgnoringAsciiCase(item, "about")) {
        view_.showAbout();
    }
}

void MainWindowLogic::showRequested() {
    showAndActivate(false);
}

void MainWindowLogic::dpiStageShown(std::int32_t dpiValue) {
    view_.showDpiDisplay(dpiText(dpiValue), kDpiDisplayMs);
}

void MainWindowLogic::closeRequested() {
    putAway();
}

void MainWindowLogic::exitRequested() {
    view_.closeDpiDisplay();
    view_.quit();
}

}  // namespace tvq
