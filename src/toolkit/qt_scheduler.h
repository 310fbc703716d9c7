// The Scheduler of the program: tasks run on the Qt event loop of the
// user-interface thread. dropPending() discards every task not yet run, so
// that an owner can go away while timers it started are still pending.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <memory>

#include "base/scheduler.h"

namespace tvq {

class QtScheduler final : public Scheduler {
  public:
    QtScheduler() : context_(std::make_unique<QObject>()) {}

    void runLater(int ms, std::function<void()> task) override {
        QTimer::singleShot(ms, context_.get(), std::move(task));
    }
    void runOnUiThread(std::function<void()> task) override {
        // A context object ties the task to the user-interface thread, and
        // its deletion drops the task.
        QMetaObject::invokeMethod(context_.get(), std::move(task), Qt::QueuedConnection);
    }
    // User-interface thread, once nothing posts any more.
    void dropPending() { context_ = std::make_unique<QObject>(); }

  private:
    std::unique_ptr<QObject> context_;
};

}  // namespace tvq
