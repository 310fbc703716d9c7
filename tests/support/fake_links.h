// Fake time and fake links for the send path.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "base/clock.h"
#include "device/frame_writer.h"

namespace tvq::testing {

// Time that passes only when code sleeps. `onSleep` runs at every sleep,
// after the time moved on, so a test can answer in the middle of a wait.
class FakeClock final : public Clock {
  public:
    std::int64_t now = 0;
    std::vector<int> sleeps;
    std::function<void(int)> onSleep;

    std::int64_t nowMs() const override { return now; }
    bool sleepFor(int ms) override {
        now += ms;
        sleeps.push_back(ms);
        if (onSleep) {
            onSleep(ms);
        }
        return true;
    }
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
