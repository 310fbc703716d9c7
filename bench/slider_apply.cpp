// A DPI slider dragged in 100 steps on the settings page (offscreen, the
// virtual mouse on the cable, then behind the receiver):
// - the longest time the user-interface thread is busy in one go while the
//   drag runs and an apply is under way (a 1 ms timer measures the gaps);
// - from the release to the end of the one apply it makes, against the
//   settle time plus the link's protocol floor for the frames it sends
//   (the two DPI frames between the two profile-select frames: 4 frames of
//   200 ms by cable, 500 ms over Bluetooth LE, and through the receiver the
//   mouse's mean acknowledgement latency plus the 20 ms settle time: the
//   virtual mouse answers after 8 to 25 ms);
// - a switch to a profile that differs only in its lighting, to the end of
//   its apply, against the same floor (4 frames);
// - a button-mode switch, to the end of its apply (the two profile-select
//   frames), against that floor.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "base/text.h"
#include "device/device_ids.h"
#include "input/us_layout.h"
#include "page/controls.h"
#include "page_bench.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "private_bus.h"
#include "scoped_env.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "virtual_mouse_process.h"

namespace {

using namespace tvq;
using bench::waitFor;

constexpr int kSteps = 100;
constexpr int kStepMs = 5;

// Moves the slider one step every kStepMs, kSteps times, from the event loop.
void drag(QAbstractSlider* slider, int from) {
    QElapsedTimer t;
    t.start();
    for (int step = 1; step <= kSteps; ++step) {
        slider->setValue(from + (step % 2 == 0 ? step / 2 : -step / 2) + 50);
        while (t.elapsed() < step * kStepMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
    }
}

void measure(const char* link, std::vector<std::string> options, double frameMs,
             const testing::PrivateBus* bus = nullptr) {
    const double floorMs = 4 * frameMs;
    bench::TemporaryDataFolder data;
    const DataLocation& location = data.location;
    std::unique_ptr<BluezTransport> ble;
    if (bus != nullptr) {
        ble = std::make_unique<BluezTransport>(QDBusConnection::connectToBus(
            QString::fromStdString(bus->address()), QStringLiteral("bench-ble")));
    }
    bench::PageOnVirtualMouse page(location, options, std::move(ble));
    DesktopSession& session = page.session;
    const LinkState& links = session.session().links();
    if (!waitFor([&] { return links.anyLink() && links.deviceAsleep.load() == 0; }, 10000)) {
        std::printf("%s: the mouse was not found\n", link);
        return;
    }
    auto* slider = qobject_cast<QAbstractSlider*>(page.control("ms_1_slider_dpi_2"));
    auto* apply = qobject_cast<QPushButton*>(page.control(control::kApplyButton));
    const MouseLink& mouseLink = session.session().link();
    // Until an apply asked for after `before` requests has ended, and every
    // other with it.
    const auto applied = [&](int before) {
        waitFor(
            [&] {
                return mouseLink.applyRequests() > before &&
                       mouseLink.appliesFinished() == mouseLink.applyRequests();
            },
            60000);
    };

    // The drag while an apply runs, with the 1 ms ticker.
    bench::GapTicker ticker;
    int before = mouseLink.applyRequests();
    apply->click();
    ticker.start();
    drag(slider, 40);
    waitFor([&] { return false; }, 700);  // the drag's settled apply is asked for
    applied(before + 1);
    ticker.stop();

    // Release to the end of the apply, nothing else running.
    const int applies = mouseLink.applyRequests();
    drag(slider, 100);
    QElapsedTimer sinceRelease;
    sinceRelease.start();
    applied(applies);
    const qint64 ms = sinceRelease.elapsed();
    const int made = session.session().link().applyRequests() - applies;
    std::printf(
        "%s: release to the end of the apply %lld ms, settle + floor %.0f ms, ratio %.3f "
        "(%d apply for %d steps)\n",
        link, static_cast<long long>(ms), 500 + floorMs, static_cast<double>(ms) / (500 + floorMs),
        made, kSteps);

    // A switch to a profile that differs only in its lighting.
    ProfileStore& profiles = session.session().profiles();
    auto other = std::make_unique<Profile>(*profiles.current());
    for (ModeSettings& m : other->modes) {
        m.lightMode = m.lightMode == 3 ? 4 : 3;
    }
    setFieldText(other->name, u"Other lighting");
    const int row = profiles.append(std::move(other));
    waitFor([&] { return false; }, 300);
    QElapsedTimer sinceSwitch;
    sinceSwitch.start();
    before = mouseLink.applyRequests();
    page.window.page()->logic().selectProfile(row);
    applied(before);
    const qint64 switchMs = sinceSwitch.elapsed();
    std::printf(
        "%s: switch to a profile differing in lighting, to the end of its apply %lld ms, floor "
        "%.0f ms, ratio %.3f\n",
        link, static_cast<long long>(switchMs), floorMs, static_cast<double>(switchMs) / floorMs);

    // A button-mode switch: the two profile-select frames, no settle time.
    waitFor([&] { return false; }, 300);
    QElapsedTimer sinceMode;
    sinceMode.start();
    before = mouseLink.applyRequests();
    qobject_cast<QAbstractButton*>(page.control("ms_1_option_button_mode_2"))->click();
    applied(before);
    const qint64 modeMs = sinceMode.elapsed();
    std::printf(
        "%s: button-mode switch to the end of its apply %lld ms, floor %.0f ms, ratio %.3f\n", link,
        static_cast<long long>(modeMs), floorMs / 2, static_cast<double>(modeMs) / (floorMs / 2));
    std::printf(
        "%s: user-interface thread during the drag and an apply: longest gap %.2f ms, "
        "p99 %.2f ms, median %.2f ms (goal: longest under 16 ms)\n",
        link, ticker.longest(), ticker.p99(), ticker.median());
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    measure("cable", {"--cable", "--no-heartbeat"}, 200);
    // (8 + 25) / 2 ms of latency and 20 ms of settle time per frame.
    measure("receiver", {"--receiver", "--heartbeat-ms", "100", "--ack-delay-ms", "8-25"}, 36.5);
    // Bluetooth LE: the virtual mouse as the BlueZ peer on a private bus.
    const testing::PrivateBus bus;
    if (bus.running()) {
        measure("Bluetooth LE", {"--ble-bus", bus.address()}, 500, &bus);
    } else {
        std::printf("Bluetooth LE: no dbus-daemon for a private bus\n");
    }
    return 0;
}
