#include "protocol/device_worker.h"

namespace tvq {

DeviceWorker::DeviceWorker(std::function<void()> onApply, std::function<void()> onSave)
    : onApply_(std::move(onApply)), onSave_(std::move(onSave)) {}

DeviceWorker::~DeviceWorker() {
    stop();
}

void DeviceWorker::start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || stopping_) {
        return;
    }
    thread_ = std::thread([this] { run(); });
}

void DeviceWorker::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) {
            return;
        }
        queue_.push_back({message, wParam, lParam});
    }
    wake_.notify_one();
}

void DeviceWorker::stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ && !thread_.joinable()) {
            return;
        }
        stopping_ = true;
        queue_.push_back({msg::kWorkerQuit, 0, 0});
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool DeviceWorker::running() const {
    std::lock_guard lock(mutex_);
    return thread_.joinable() && !stopping_;
}

void DeviceWorker::run() {
    for (;;) {
        Message m;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return !queue_.empty(); });
            m = queue_.front();
            queue_.pop_front();
            if (stopping_ && m.message != msg::kWorkerQuit) {
                continue;  // shutting down: pending requests are dropped
            }
        }
        if (m.message == msg::kWorkerQuit) {
            return;
        }
        if (m.message == msg::kApply) {
            onApply_();
        } else if (m.message == msg::kSaveStore && onSave_) {
            onSave_();
        }
    }
}

}  // namespace tvq
