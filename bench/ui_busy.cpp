// How long the user-interface thread is busy in one go while the mouse is
// configured: the window and its page on a store of 100 profiles, the
// virtual mouse on the cable, applies running one after another and the
// mouse reporting DPI stage changes (each one saves the store). A 1 ms
// timer on the user-interface thread measures the gaps between its ticks.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "device/device_ids.h"
#include "input/us_layout.h"
#include "page_bench.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "virtual_mouse_process.h"

int main(int argc, char** argv) {
    using namespace tvq;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    constexpr int kProfiles = 100;
    constexpr int kApplies = 3;

    QTemporaryDir data;
    const std::string home = data.path().toStdString();
    PosixFileSystem fs;
    const DataLocation location(fs, testing::environmentWith(home, std::nullopt), programFolder());
    std::vector<std::unique_ptr<Profile>> profiles;
    for (int i = 0; i < kProfiles; ++i) {
        profiles.push_back(newProfile(u"Profile " + std::u16string(1, char16_t(u'A' + i % 26))));
    }
    ensureStoreFolder(fs, location.folder());
    fs.replaceFile(profileStorePath(location.folder()), encodeProfileStore(0, profiles));

    bench::PageOnVirtualMouse page(location, {"--cable", "--no-heartbeat"});
    testing::VirtualMouseProcess& mouse = page.mouse;
    MainWindow& window = page.window;
    bench::GapTicker ticker;
    QElapsedTimer clock;
    clock.start();

    int applies = 0;
    int stage = 1;
    QTimer reports;  // the mouse changes its DPI stage every 300 ms
    QObject::connect(&reports, &QTimer::timeout, [&] {
        stage = stage % 8 + 1;
        mouse.command("dpi-stage " + std::to_string(stage));
    });
    QTimer applier;  // a new apply as soon as the last one is done
    QObject::connect(&applier, &QTimer::timeout, [&] {
        if (!window.page()->boundControl("apply_ring")->isHidden()) {
            return;
        }
        if (applies == kApplies) {
            QCoreApplication::exit(0);
            return;
        }
        ++applies;
        std::fprintf(stderr, "apply %d at %.1f s\n", applies,
                     static_cast<double>(clock.elapsed()) / 1000.0);
        page.session.session().requestApply();
    });
    QTimer::singleShot(500, [&] {
        ticker.start();
        reports.start(300);
        applier.start(3000);
    });
    QApplication::exec();
    std::fprintf(stderr, "done at %.1f s\n", static_cast<double>(clock.elapsed()) / 1000.0);

    ticker.stop();
    std::printf("store: %d profiles (%zu bytes); %d applies over the cable\n", kProfiles,
                encodeProfileStore(0, profiles).size(), kApplies);
    std::printf("user-interface thread: %zu ticks of a 1 ms timer\n", ticker.ticks());
    std::printf("longest gap %.2f ms, p99 %.2f ms, median %.2f ms (goal: longest under 16 ms)\n",
                ticker.longest(), ticker.p99(), ticker.median());
    return 0;
}
