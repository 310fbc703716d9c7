// One copy of the program per user: a lock file in the user's runtime folder
// stands for the named mutex, and a Unix-domain socket beside it carries the
// request of a second copy to show the running one.
#pragma once

#include <QSocketNotifier>
#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace tvq {

class SingleInstance {
  public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock; false when another copy holds it. True also when no
    // lock could be made at all; guarded() then says so.
    bool acquire();
    bool guarded() const { return guarded_; }

    // Second copy: asks the running copy to show itself (it may still be
    // starting, in which case nobody answers). Needs no event loop.
    void notifyRunningCopy() const;

    // First copy: calls `onShow` on the event loop whenever a second copy asks.
    void listen(std::function<void()> onShow);

    static QString lockPath();
    static QString socketPath();

  private:
    void accept();
    void read(int client);

    int lockFd_ = -1;
    bool guarded_ = true;
    int serverFd_ = -1;
    std::function<void()> onShow_;
    std::unique_ptr<QSocketNotifier> serverNotifier_;
    std::map<int, std::unique_ptr<QSocketNotifier>> clients_;
};

}  // namespace tvq
