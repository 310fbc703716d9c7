#include "base/clock.h"

#include <chrono>

namespace tvq {

std::int64_t SystemClock::nowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool SystemClock::sleepFor(int ms) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return cancelled_; });
}

bool SystemClock::waitFor(int ms, const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return cancelled_ || done(); });
    return !cancelled_ && done();
}

void SystemClock::wake() {
    // Taking the lock orders the caller's change before the waiter's next
    // look at its condition, so that no wake-up is lost between the two.
    { std::lock_guard lock(mutex_); }
    wake_.notify_all();
}

bool SystemClock::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void SystemClock::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

}  // namespace tvq
