// The device worker: one thread with its own message queue that runs every
// apply, so that the waits of the send path never block the user interface.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tvq {

// The worker's thread messages.
namespace msg {
inline constexpr std::uint32_t kWorkerQuit = 0x0012;
inline constexpr std::uint32_t kApply = 1648;
// Write the profile store, so that the user-interface thread never waits
// for the disk.
inline constexpr std::uint32_t kSaveStore = 1649;
}  // namespace msg

class DeviceWorker {
  public:
    struct Message {
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
    };

    // `onApply` runs on the worker for each apply request, `onSave` for each
    // save request.
    explicit DeviceWorker(std::function<void()> onApply, std::function<void()> onSave = nullptr);
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    void start();
    // Thread message: callable from any thread. Ignored once stopped.
    void post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
    // Posts WM_QUIT and waits for the thread; requests still queued are
    // dropped, an apply in progress ends first.
    void stop();
    bool running() const;

  private:
    void run();

    std::function<void()> onApply_;
    std::function<void()> onSave_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Message> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tvq
