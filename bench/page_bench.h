// What the user-interface benchmarks share: the program's window with its
// settings page on a data folder of its own and tvq-virtual-mouse, and a
// 1 ms timer on the user-interface thread that measures how long that thread
// is busy in one go.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "device/device_ids.h"
#include "input/us_layout.h"
#include "page_widgets/settings_page_view.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"
#include "platform/shared_library.h"
#include "scoped_env.h"
#include "store_fixture.h"
#include "toolkit/language.h"
#include "virtual_mouse_process.h"

namespace tvq::bench {

// Runs the event loop until `done` or `limitMs` passed; whether it is done.
inline bool waitFor(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

// A data folder of the benchmark's own, removed at the end.
struct TemporaryDataFolder {
    QTemporaryDir dir;
    PosixFileSystem fs;
    DataLocation location{fs, testing::environmentWith(dir.path().toStdString(), std::nullopt),
                          programFolder()};
};

class PageOnVirtualMouse {
  public:
    // With `ble`, the mouse is reached over Bluetooth LE through it.
    PageOnVirtualMouse(const DataLocation& location, std::vector<std::string> mouseOptions,
                       std::unique_ptr<BluezTransport> ble = nullptr)
        : mouse(std::move(mouseOptions)),
          env(paths::kVirtualMouseEnvironment, mouse.socketPath()),
          session(location, texts.language, std::move(ble)),
          window(texts.language, loader, &session,
                 std::make_unique<SettingsPageView>(texts.language, keys, session.session())) {
        window.create(nullptr, Qt::Window);
        window.show();
    }
    QWidget* control(const char* name) const { return window.page()->boundControl(name); }

    testing::VirtualMouseProcess mouse;
    testing::ScopedEnv env;
    struct Texts {
        Texts() { language.load(resourceFolder() + "lan.xml"); }
        LanguageManager language;
    } texts;
    UsKeyboardLayout us;
    KeyNames keys{us, texts.language};
    SharedLibraryLoader loader;
    DesktopSession session;
    MainWindow window;
};

// The gaps between the ticks of a 1 ms timer on the user-interface thread.
class GapTicker {
  public:
    GapTicker() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            gaps_.push_back(now - last_);
            last_ = now;
        });
        clock_.start();
    }
    void start() {
        gaps_.clear();
        last_ = clock_.nsecsElapsed();
        timer_.start(1);
    }
    void stop() {
        timer_.stop();
        std::sort(gaps_.begin(), gaps_.end());
    }
    std::size_t ticks() const { return gaps_.size(); }
    // In milliseconds, once stopped; 0 without ticks.
    double longest() const { return gaps_.empty() ? 0 : ms(gaps_.back()); }
    double p99() const { return gaps_.empty() ? 0 : ms(gaps_[gaps_.size() * 99 / 100]); }
    double median() const { return gaps_.empty() ? 0 : ms(gaps_[gaps_.size() / 2]); }

  private:
    static double ms(qint64 ns) { return static_cast<double>(ns) / 1e6; }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    std::vector<qint64> gaps_;
};

}  // namespace tvq::bench
