#include "app/main_window_logic.h"

#include <algorithm>

#include "app/window_messages.h"
#include "base/text.h"
#include "profiles/profile.h"

namespace tvq {
namespace {

constexpr std::uint32_t kDestroy = 2;
constexpr std::uint32_t kDeviceChange = 537;
constexpr std::uint32_t kDroppedA = 1130;
constexpr std::uint32_t kDroppedB = 1261;
constexpr std::uint32_t kDroppedC = 5121;
constexpr int kDpiDisplayMs = 2000;
constexpr const char* kPagePrefix = "ms_1";

}  // namespace

std::string MainWindowLogic::dpiText(std::uintptr_t wParam, std::intptr_t stageValue) {
    std::string text = "DPI :";
    if (wParam <= 2) {
        text += std::to_string(static_cast<long long>(stageValue) * kDpiStep);
    }
    return text;
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

void MainWindowLogic::showOrWarn(bool skipShowWhenVisible) {
    if (devicePresent_ == 1) {
        showAndActivate(skipShowWhenVisible);
        return;
    }
    if (noDeviceGuard_) {
        return;
    }
    noDeviceGuard_ = true;
    view_.runNoDeviceMessage();
    noDeviceGuard_ = false;
}

void MainWindowLogic::putAway() {
    if (view_.hasSystemTray()) {
        view_.hideWindow();
    } else {
        view_.minimizeWindow();
    }
}

void MainWindowLogic::onPresenceChange() {
    devicePresent_ = mouse_ != nullptr ? mouse_->anyConnected() : 0;
    if (devicePresent_ == 1) {
        view_.selectDeviceTab(0);
    } else {
        view_.selectDeviceTab(-1);
        putAway();
    }
}

void MainWindowLogic::onMenuCommand(const MenuCommand& command) {
    if (equalIgnoringAsciiCase(command.name, "configuration")) {
        showOrWarn(false);
    } else if (equalIgnoringAsciiCase(command.name, "exit")) {
        onDestroy();
    } else if (equalIgnoringAsciiCase(command.name, "autostart")) {
        view_.toggleStartWithDesktop();
    } else {
        // Page menus: names that agree with "ms_1" over the shorter length.
        const std::string_view prefix = kPagePrefix;
        const std::size_t n = std::min(command.name.size(), prefix.size());
        if (command.name.compare(0, n, prefix.substr(0, n)) == 0 && page_ != nullptr) {
            page_->assignFunction(command.name);
        }
    }
}

bool MainWindowLogic::handleMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam, const MenuCommand* menu) {
    switch (message) {
        case kDestroy:
            onDestroy();
            return true;
        case kDeviceChange:
            return true;  // Bluetooth LE arrivals come from BlueZ, not from here
        case msg::kTrayNotify:
            if (lParam == kTrayLeftButtonUp) {
                showOrWarn(true);
            } else if (lParam == kTrayRightButtonUp) {
                view_.openTrayMenu();
            }
            return true;
        case msg::kMenuClick:
            if (menu != nullptr) {
                onMenuCommand(*menu);
            }
            return true;
        case kDroppedA:
        case kDroppedB:
        case kDroppedC:
            return true;
        case msg::kShowMainWindow:
            showOrWarn(false);
            return true;
        case msg::kConnectionChanged:
            onPresenceChange();
            return true;
        case msg::kDpiStageReported:
            view_.stopWindowTimer(timer::kDpiDisplay);
            view_.startWindowTimer(timer::kDpiDisplay, kDpiDisplayMs);
            view_.showDpiDisplay(dpiText(wParam, lParam));
            return true;
        case msg::kApplyRequest:
            if (mouse_ != nullptr) {
                mouse_->requestApply();
            }
            return true;
        default:
            return false;
    }
}

void MainWindowLogic::onTimer(int id) {
    switch (id) {
        case timer::kDpiDisplay:
            view_.stopWindowTimer(id);
            view_.closeDpiDisplay();
            break;
        case timer::kApplyDebounce:
            view_.stopWindowTimer(id);
            view_.post(msg::kApplyRequest, 0, 0);
            break;
        default:
            break;
    }
}

void MainWindowLogic::onClick(std::string_view control) {
    if (control == "exit_btn") {
        putAway();
    } else if (control == "min_btn") {
        view_.minimizeWindow();
    }
}

void MainWindowLogic::onDestroy() {
    view_.closeDpiDisplay();
    view_.quit();
}

}  // namespace tvq
