// A function picked from a key button's menu (offscreen, the virtual mouse
// behind the receiver, answering after 8 to 25 ms): from the click on the
// menu item to the end of the apply it makes (its last frame acknowledged),
// against the receiver's floor for the frames that apply sent (each the mean
// answer latency plus the 20 ms settle time).
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>

#include "page_bench.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "store_fixture.h"
#include "toolkit/loaded_menu.h"

namespace {

using namespace tvq;
using bench::waitFor;

constexpr double kFrameMs = (8 + 25) / 2.0 + 20;

int accepted(const testing::VirtualMouseProcess& mouse) {
    return nlohmann::json::parse(mouse.command("stats")).value("accepted", 0);
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    bench::TemporaryDataFolder data;
    const DataLocation& location = data.location;
    bench::PageOnVirtualMouse page(
        location, {"--receiver", "--heartbeat-ms", "100", "--ack-delay-ms", "8-25"});
    MouseLink& link = page.session.session().link();
    const LinkState& links = page.session.session().links();
    if (!waitFor([&] { return links.anyLink() && links.deviceAsleep.load() == 0; }, 10000)) {
        std::printf("receiver: the mouse was not found\n");
        return 1;
    }
    // The start-up apply first.
    waitFor([&] { return link.appliesFinished() == link.applyRequests(); }, 60000);
    const struct {
        const char* keyButton;
        const char* item;
    } picks[] = {{"ms_1_btn_key_4", "ms_1_copy"},
                 {"ms_1_btn_key_5", "ms_1_volume_up"},
                 {"ms_1_btn_key_13", "ms_1_titl_left"}};
    for (const auto& p : picks) {
        qobject_cast<QPushButton*>(page.control(p.keyButton))->click();
        QAction* action =
            page.window.page()->dialogs().functionMenu()->menu().findChild<QAction*>(p.item);
        if (action == nullptr) {
            std::printf("%s: no item %s\n", p.keyButton, p.item);
            return 1;
        }
        const int finished = link.appliesFinished();
        const int before = accepted(page.mouse);
        QElapsedTimer t;
        t.start();
        action->trigger();
        if (!waitFor([&] { return link.appliesFinished() > finished; }, 60000)) {
            std::printf("%s: the apply did not end\n", p.item);
            return 1;
        }
        const qint64 ms = t.elapsed();
        const double floorMs = (accepted(page.mouse) - before) * kFrameMs;
        std::printf(
            "receiver: %s on %s, menu click to the last acknowledged frame %lld ms, "
            "floor %.0f ms, ratio %.3f\n",
            p.item, p.keyButton, static_cast<long long>(ms), floorMs,
            static_cast<double>(ms) / floorMs);
    }
    return 0;
}
