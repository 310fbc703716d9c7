// Hook.so and the X keyboard layout against a private Xvfb, with real X input
// from xdotool and XTEST.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "device/message_queue.h"
#include "fake_texts.h"
#include "input/hook_library.h"
#include "input/key_names.h"
#include "platform/shared_library.h"
#include "platform/x11/x11_keyboard_layout.h"
#include "scoped_env.h"
#include "tvq/hook.h"
#include "xvfb.h"

// Last: Xlib's macros (None, Bool, Status...) must not reach the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace tvq {
namespace {

using namespace std::chrono_literals;

void useLayout(const testing::Xvfb& xvfb, const std::string& layout) {
    ASSERT_TRUE(xvfb.run("setxkbmap " + layout));
}

class X11Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        xvfb = new testing::Xvfb;  // owned by the suite, deleted in TearDownTestSuite
        if (xvfb->running()) {
            SharedLibraryLoader loader;
            hook = new HookLibrary;
            hook->load(loader, std::string(TVQ_PROGRAM_FOLDER) + "/");
        }
    }
    static void TearDownTestSuite() {
        delete hook;
        delete xvfb;
        hook = nullptr;
        xvfb = nullptr;
    }

    void SetUp() override {
        if (!xvfb->running()) {
            GTEST_SKIP() << "no X server could be started";
        }
        ASSERT_NE(hook, nullptr);
        api = hook;
        ASSERT_TRUE(hook->complete());
        useLayout(*xvfb, "us");
    }

    void TearDown() override {
        if (api != nullptr) {
            api->remove();
            api->enableKeys(true);
            api->enableMouse(true);
            api->enableWheel(false);
        }
    }

    void install() {
        api->install(&window);
        drain();
    }
    void drain() {
        while (window.next(50ms)) {
        }
    }
    // The next 1034 message as (wParam, lParam), or nothing within a second.
    std::optional<std::pair<std::uintptr_t, std::intptr_t>> next() {
        const auto m = window.next(1000ms);
        if (!m) {
            return std::nullopt;
        }
        EXPECT_EQ(m->message, TVQ_HOOK_MESSAGE);
        return std::make_pair(m->wParam, m->lParam);
    }
    void expectMessages(const std::vector<std::pair<std::uintptr_t, std::intptr_t>>& expected) {
        for (const auto& e : expected) {
            const auto got = next();
            ASSERT_TRUE(got.has_value()) << "missing 0x" << std::hex << e.first;
            EXPECT_EQ(*got, e) << std::hex << got->first;
        }
    }
    void expectSilence() {
        const auto m = window.next(300ms);
        EXPECT_FALSE(m.has_value()) << "unexpected 0x" << std::hex << m->wParam;
    }

    static inline testing::Xvfb* xvfb = nullptr;
    static inline HookLibrary* hook = nullptr;
    HookLibrary* api = nullptr;
    MessageQueueWindow window;
};

TEST_F(X11Test, KeysReachTheWindowAsVirtualKeys) {
    install();
    ASSERT_TRUE(xvfb->run("xdotool key a"));
    expectMessages({{0x41, 0}, {0x41, 1}});
    ASSERT_TRUE(xvfb->run("xdotool keydown shift"));
    expectMessages({{0xA0, 0}});
    ASSERT_TRUE(xvfb->run("xdotool keyup shift"));
    expectMessages({{0xA0, 1}});
    drain();  // xdotool releases Shift twice; both releases are real X input
    ASSERT_TRUE(xvfb->run("xdotool key Return F5 KP_Add comma"));
    expectMessages(
        {{0x0D, 0}, {0x0D, 1}, {0x74, 0}, {0x74, 1}, {0x6B, 0}, {0x6B, 1}, {0xBC, 0}, {0xBC, 1}});
    // Right Control by its key: xdotool may pick the left key for Control_R.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XTestFakeKeyEvent(display, 97 + 8, True, 0);
    XTestFakeKeyEvent(display, 97 + 8, False, 0);
    XFlush(display);
    expectMessages({{0xA3, 0}, {0xA3, 1}});
    XCloseDisplay(display);
}

TEST_F(X11Test, MouseButtonsAndTheWheel) {
    install();
    ASSERT_TRUE(xvfb->run("xdotool click 1 click 3 click 2 click 8 click 9"));
    expectMessages({{0x201, 0},
                    {0x202, 0},
                    {0x204, 0},
                    {0x205, 0},
                    {0x207, 0},
                    {0x208, 0},
                    {0x20B, 2},
                    {0x20C, 2},
                    {0x20B, 1},
                    {0x20C, 1}});
    ASSERT_TRUE(xvfb->run("xdotool click 4 click 5"));
    expectSilence();
    api->enableWheel(true);
    ASSERT_TRUE(xvfb->run("xdotool click 4 click 5 click 6"));
    expectMessages({{0x20A, 1}, {0x20A, -1}, {0x20E, 1}});
}

TEST_F(X11Test, SwitchingReportsOffAndOnAndReinstalling) {
    install();
    api->enableKeys(false);
    ASSERT_TRUE(xvfb->run("xdotool key b"));
    expectSilence();
    api->enableKeys(true);
    api->enableMouse(false);
    ASSERT_TRUE(xvfb->run("xdotool click 1 key b"));
    expectMessages({{0x42, 0}, {0x42, 1}});
    api->enableMouse(true);

    api->remove();
    ASSERT_TRUE(xvfb->run("xdotool key c click 1"));
    expectSilence();
    api->remove();  // twice is harmless
    install();
    ASSERT_TRUE(xvfb->run("xdotool key c"));
    expectMessages({{0x43, 0}, {0x43, 1}});
    api->install(&window);  // installing again replaces the first
    drain();
    ASSERT_TRUE(xvfb->run("xdotool key d"));
    expectMessages({{0x44, 0}, {0x44, 1}});
    expectSilence();  // reported once, not twice
}

TEST_F(X11Test, KeysFollowTheLayout) {
    useLayout(*xvfb, "fr");
    install();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XTestFakeKeyEvent(display, 16 + 8, True, 0);  // the key at the US Q position
    XTestFakeKeyEvent(display, 16 + 8, False, 0);
    XFlush(display);
    expectMessages({{0x41, 0}, {0x41, 1}});
    XCloseDisplay(display);
}

TEST_F(X11Test, WithoutAnXServerNothingHappens) {
    {
        const testing::ScopedEnv noServer("DISPLAY", ":987");
        api->install(&window);
        api->enableKeys(true);
        api->remove();
    }
    {
        const testing::ScopedEnv noDisplay("DISPLAY", nullptr);
        api->install(&window);
        api->install(nullptr);
        api->remove();
        X11KeyboardLayout layout;
        EXPECT_FALSE(layout.connected());
        EXPECT_EQ(layout.scanCodeFromVirtualKey(0x41), 0x1Eu);  // the US fallback
    }
    expectSilence();
}

class LayoutTest : public X11Test {
  protected:
    testing::FakeTexts texts;
};

TEST_F(LayoutTest, FrenchLettersByPosition) {
    useLayout(*xvfb, "fr");
    X11KeyboardLayout layout;
    ASSERT_TRUE(layout.connected());
    const KeyNames names(layout, texts);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x41).usage, 0x14u);
    EXPECT_EQ(names.keyNameFromCode(0x14), "A");
    EXPECT_EQ(names.keyNameFromCode(0x04), "Q");
    EXPECT_EQ(names.keyNameFromCode(0x1F), "É");  // the base level of the 2 key
    EXPECT_EQ(names.keyNameFromCode(0x2F), "^");  // a dead key shows its accent
    EXPECT_EQ(names.keyNameFromCode(0x28), "[key_Enter]");
}

TEST_F(LayoutTest, GermanSwapsYAndZ) {
    useLayout(*xvfb, "de");
    X11KeyboardLayout layout;
    const KeyNames names(layout, texts);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x59).usage, 0x1Du);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x5A).usage, 0x1Cu);
    EXPECT_EQ(names.keyNameFromCode(0x1C), "Z");
    EXPECT_EQ(names.keyNameFromCode(0x1D), "Y");
}

TEST_F(LayoutTest, UsEdgeCasesAndFollowingAChange) {
    X11KeyboardLayout layout;
    const KeyNames names(layout, texts);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x41).usage, 0x04u);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x6B).usage, 0x57u);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0xA0).usage, 0xE1u);
    EXPECT_FALSE(names.hidUsageFromVirtualKey(0x07).found);
    EXPECT_EQ(names.hidUsageFromVirtualKey(0xDF).usage, 0x46u);  // no key gives it: scan code 0
    EXPECT_EQ(names.keyNameFromCode(0x04), "A");
    EXPECT_EQ(names.keyNameFromCode(0x33), ";");

    useLayout(*xvfb, "fr");
    for (int i = 0; i < 20 && names.keyNameFromCode(0x04) != "Q"; ++i) {
        std::this_thread::sleep_for(50ms);  // the notice travels through the server
    }
    EXPECT_EQ(names.keyNameFromCode(0x04), "Q");
    EXPECT_EQ(names.hidUsageFromVirtualKey(0x41).usage, 0x14u);
}

}  // namespace
}  // namespace tvq
