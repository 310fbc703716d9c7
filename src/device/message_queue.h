// A MessageWindow whose posts land in a queue that one thread drains: the
// window of tvqctl and of the tests. Callable from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "tvq/message_window.h"

namespace tvq {

struct PostedMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class MessageQueueWindow : public MessageWindow {
  public:
    MessageQueueWindow() : MessageWindow{&MessageQueueWindow::postThunk} {}
    MessageQueueWindow(const MessageQueueWindow&) = delete;
    MessageQueueWindow& operator=(const MessageQueueWindow&) = delete;

    void push(PostedMessage m) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(m);
        }
        wake_.notify_all();
    }

    // The next message, waiting at most `timeout`.
    std::optional<PostedMessage> next(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, timeout, [this] { return !queue_.empty(); })) {
            return std::nullopt;
        }
        PostedMessage m = queue_.front();
        queue_.pop_front();
        return m;
    }

  private:
    static void postThunk(MessageWindow* self, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
        static_cast<MessageQueueWindow*>(self)->push({message, wParam, lParam});
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<PostedMessage> queue_;
};

}  // namespace tvq
