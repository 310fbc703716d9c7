// Time for the device code: waits that tests run instantly.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tvq {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
    // Waits `ms` milliseconds; false when the wait was cut short by cancel().
    virtual bool sleepFor(int ms) = 0;
    // Waits until `done` holds or `ms` pass, looking at `done` again each
    // time wake() is called. Returns whether `done` holds; false also when
    // cut short by cancel().
    virtual bool waitFor(int ms, const std::function<bool()>& done) = 0;
    // Has a waitFor in progress look at its condition again. Any thread.
    virtual void wake() = 0;
    // Whether cancel() ended the waits (see SystemClock).
    virtual bool cancelled() const { return false; }
};

// Real time. cancel() ends every wait at once, and every later one too: it
// is used when the program shuts down, so that a long apply does not hold
// up the exit.
class SystemClock final : public Clock {
  public:
    std::int64_t nowMs() const override;
    bool sleepFor(int ms) override;
    bool waitFor(int ms, const std::function<bool()>& done) override;
    void wake() override;
    bool cancelled() const override;
    void cancel();

  private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool cancelled_ = false;
};

}  // namespace tvq
