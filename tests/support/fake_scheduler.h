// A scheduler on fake time: delayed tasks run when the test advances the
// time, tasks handed to the user-interface thread when it drains them (on
// the test's own thread).
#pragma once

#include "base/manual_scheduler.h"
#include "fake_links.h"

namespace tvq::testing {

class FakeScheduler final : public Scheduler {
  public:
    void runLater(int ms, std::function<void()> task) override {
        scheduler.runLater(ms, std::move(task));
    }
    void runOnUiThread(std::function<void()> task) override {
        scheduler.runOnUiThread(std::move(task));
    }
    // Moves time on by `ms` and runs what is due.
    void advance(long ms) {
        clock.now += ms;
        scheduler.runDue();
    }
    std::size_t drainUiTasks() { return scheduler.runDue(); }

    FakeClock clock;
    ManualScheduler scheduler{clock};
};

}  // namespace tvq::testing
