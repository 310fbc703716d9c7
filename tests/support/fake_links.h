// Fake time and fake links for the send path.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "base/clock.h"
#include "device/frame_writer.h"

namespace tvq::testing {

// Time that passes only when code waits. Events set with at() happen when a
// wait reaches their time (a receiver's acknowledgement 20 ms after a
// write). `onSleep` runs at the end of every wait that ran its full time,
// after the time moved on, so a test can also answer then.
class FakeClock final : public Clock {
  public:
    std::int64_t now = 0;
    std::vector<int> sleeps;  // every sleepFor, and every waitFor that ran out
    std::function<void(int)> onSleep;

    void at(std::int64_t time, std::function<void()> event) {
        events_.emplace(time, std::move(event));
    }
    std::int64_t nowMs() const override { return now; }
    bool sleepFor(int ms) override {
        runEventsUntil(now + ms, nullptr);
        return ranOut(ms);
    }
    bool waitFor(int ms, const std::function<bool()>& done) override {
        if (done()) {
            return true;
        }
        if (runEventsUntil(now + ms, &done)) {
            return true;
        }
        ranOut(ms);
        return done();
    }
    void wake() override {}
    bool cancelled() const override { return stopped; }
    bool stopped = false;  // what cancelled() says

  private:
    // Runs the events due up to `end` in time order; stops at the first
    // after which `done` holds.
    bool runEventsUntil(std::int64_t end, const std::function<bool()>* done) {
        startOfWait_ = now;
        while (!events_.empty() && events_.begin()->first <= end) {
            auto event = std::move(events_.begin()->second);
            now = std::max(now, events_.begin()->first);
            events_.erase(events_.begin());
            event();
            if (done != nullptr && (*done)()) {
                return true;
            }
        }
        return false;
    }
    bool ranOut(int ms) {
        now = startOfWait_ + ms;
        sleeps.push_back(ms);
        if (onSleep) {
            onSleep(ms);
        }
        return true;
    }

    std::multimap<std::int64_t, std::function<void()>> events_;
    std::int64_t startOfWait_ = 0;
};

// A link that records every write and answers from a script.
class FakeLink final : public FrameWriter {
  public:
    std::vector<std::vector<std::uint8_t>> writes;
    std::function<std::int32_t(std::span<const std::uint8_t>)> answer =
        [](std::span<const std::uint8_t>) { return 1; };

    std::int32_t write(std::span<const std::uint8_t> frame) override {
        std::lock_guard lock(mutex);
        writes.emplace_back(frame.begin(), frame.end());
        return answer(frame);
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return writes.size();
    }

  private:
    std::mutex mutex;
};

}  // namespace tvq::testing
