// The input-hook library: XInput2 raw events of the master devices, selected
// on the root window of a connection of the library's own, read on a thread
// of its own and posted to the program's window as message 1034.
//
// Raw events report what the devices did before any grab or focus decides
// who gets it, so input to every X client is seen. Keys become Windows
// virtual-key codes through the current keyboard layout.

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/debug.h"
#include "platform/x11/xkb_keymap.h"
#include "tvq/hook.h"

#define TVQ_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr std::uintptr_t kLeftDown = 0x201, kLeftUp = 0x202;
constexpr std::uintptr_t kRightDown = 0x204, kRightUp = 0x205;
constexpr std::uintptr_t kMiddleDown = 0x207, kMiddleUp = 0x208;
constexpr std::uintptr_t kSideDown = 0x20B, kSideUp = 0x20C;
constexpr std::uintptr_t kWheel = 0x20A, kHorizontalWheel = 0x20E;
constexpr std::intptr_t kForwardButton = 1, kBackButton = 2;

struct Hook {
    std::mutex mutex;  // installhook and removehook
    std::thread thread;
    Display* display = nullptr;
    int stopPipe[2] = {-1, -1};
    MessageWindow* window = nullptr;
    std::atomic<bool> keys{true};
    std::atomic<bool> buttons{true};
    std::atomic<bool> wheel{false};

    ~Hook() { stop(); }

    void post(std::uintptr_t wParam, std::intptr_t lParam) const {
        window->post(window, TVQ_HOOK_MESSAGE, wParam, lParam);
    }

    void onButton(int button, bool down) const {
        if (button >= 4 && button <= 7) {
            if (down && wheel.load()) {
                post(button <= 5 ? kWheel : kHorizontalWheel, button % 2 == 0 ? 1 : -1);
            }
            return;
        }
        if (!buttons.load()) {
            return;
        }
        switch (button) {
            case 1:
                post(down ? kLeftDown : kLeftUp, 0);
                break;
            case 2:
                post(down ? kMiddleDown : kMiddleUp, 0);
                break;
            case 3:
                post(down ? kRightDown : kRightUp, 0);
                break;
            case 8:
                post(down ? kSideDown : kSideUp, kBackButton);
                break;
            case 9:
                post(down ? kSideDown : kSideUp, kForwardButton);
                break;
            default:
                break;
        }
    }

    void run(int xiOpcode) {
        tvq::XkbKeymap keymap(XGetXCBConnection(display));
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        for (;;) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                XGenericEventCookie* cookie = &event.xcookie;
                if (cookie->type != GenericEvent || cookie->extension != xiOpcode) {
                    keymap.refresh();  // a new map or layout group
                    continue;
                }
                if (!XGetEventData(display, cookie)) {
                    continue;
                }
                const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
                switch (cookie->evtype) {
                    case XI_RawKeyPress:
                    case XI_RawKeyRelease:
                        if (keys.load()) {
                            const std::uint32_t vk =
                                keymap.virtualKey(static_cast<std::uint32_t>(raw->detail));
                            if (vk != 0) {
                                post(vk, cookie->evtype == XI_RawKeyPress ? 0 : 1);
                            }
                        }
                        break;
                    case XI_RawButtonPress:
                        onButton(raw->detail, true);
                        break;
                    case XI_RawButtonRelease:
                        onButton(raw->detail, false);
                        break;
                    default:
                        break;
                }
                XFreeEventData(display, cookie);
            }
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
        }
    }

    void start(MessageWindow* target) {
        stop();
        if (target == nullptr || target->post == nullptr) {
            return;
        }
        display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            tvq::debug::write("hook: no X display\n");
            return;
        }
        int opcode = 0, event = 0, error = 0;
        int major = 2, minor = 2;
        if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
            XIQueryVersion(display, &major, &minor) != Success ||
            ::pipe2(stopPipe, O_CLOEXEC) != 0) {
            tvq::debug::write("hook: no XInput 2.2\n");
            XCloseDisplay(display);
            display = nullptr;
            return;
        }
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
        // Master devices only: slave devices would report XTEST input twice.
        XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
        XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
        XSync(display, False);
        window = target;
        thread = std::thread([this, opcode] { run(opcode); });
    }

    void stop() {
        if (thread.joinable()) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
            thread.join();
        }
        for (int& fd : stopPipe) {
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
        }
        if (display != nullptr) {
            XCloseDisplay(display);
            display = nullptr;
        }
        window = nullptr;
    }
};

Hook& hook() {
    static Hook instance;
    return instance;
}

}  // namespace

TVQ_EXPORT void installmousehook(void) {
    hook().buttons = true;
}

TVQ_EXPORT void removemousehook(void) {
    hook().buttons = false;
}

TVQ_EXPORT void enablemousehook(int32_t enable) {
    hook().buttons = enable != 0;
}

TVQ_EXPORT void installhook(MessageWindow* window) {
    Hook& h = hook();
    std::lock_guard lock(h.mutex);
    h.start(window);
}

TVQ_EXPORT void removehook(void) {
    Hook& h = hook();
    std::lock_guard lock(h.mutex);
    h.stop();
}

TVQ_EXPORT void enablehook(int32_t enable) {
    hook().keys = enable != 0;
}

TVQ_EXPORT void mousewheelenable(int32_t enable) {
    hook().wheel = enable != 0;
}
