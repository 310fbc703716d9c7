// A Scheduler whose tasks run when its owner says: `runDue` on the thread
// that plays the user-interface thread. Time comes from a Clock, so tests
// move it by hand and tvqctl uses real time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "base/clock.h"
#include "base/scheduler.h"

namespace tvq {

class ManualScheduler final : public Scheduler {
  public:
    explicit ManualScheduler(const Clock& clock) : clock_(clock) {}

    void runLater(int ms, std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        later_.push_back({clock_.nowMs() + ms, sequence_++, std::move(task)});
    }
    void runOnUiThread(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        now_.push_back(std::move(task));
    }

    // Runs the handed-over tasks, then the delayed ones that are due, in the
    // order they fall due. Returns how many ran.
    std::size_t runDue() {
        std::size_t ran = 0;
        for (;;) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (!now_.empty()) {
                    task = std::move(now_.front());
                    now_.pop_front();
                } else {
                    const std::int64_t now = clock_.nowMs();
                    auto due = later_.end();
                    for (auto it = later_.begin(); it != later_.end(); ++it) {
                        if (it->due <= now && (due == later_.end() || it->due < due->due ||
                                               (it->due == due->due && it->order < due->order))) {
                            due = it;
                        }
                    }
                    if (due == later_.end()) {
                        return ran;
                    }
                    task = std::move(due->task);
                    later_.erase(due);
                }
            }
            task();
            ++ran;
        }
    }

  private:
    struct Later {
        std::int64_t due;
        std::uint64_t order;
        std::function<void()> task;
    };
    const Clock& clock_;
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> now_;
    std::vector<Later> later_;
    std::uint64_t sequence_ = 0;
};

}  // namespace tvq
