// Time for the device code: waits that tests run instantly.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tvq {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    // Waits `ms` milliseconds; false when the wait was cut short by cancel().
    virtual bool sleepFor(int ms) = 0;
};

// Real time. cancel() ends every wait at once, and every later one too: it
// is used when the program shuts down, so that a long apply does not hold
// up the exit.
class SystemClock final : public Clock {
  public:
    std::int64_t nowMs() const override;
    bool sleepFor(int ms) override;
    void cancel();

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool cancelled_ = false;
};

}  // namespace tvq
