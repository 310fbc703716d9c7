// One copy of the program per user: a lock file in the user's runtime folder
// stands for the named mutex, and a local socket carries the request of a
// second copy to show the running one.
#pragma once

#include <QLocalServer>
#include <QString>
#include <functional>
#include <memory>

namespace tvq {

class SingleInstance {
  public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock; false when another copy holds it.
    bool acquire();

    // Second copy: asks the running copy to show itself (it may still be
    // starting, in which case nobody answers). Needs no event loop.
    void notifyRunningCopy() const;

    // First copy: calls `onShow` on the event loop whenever a second copy asks.
    void listen(std::function<void()> onShow);

    static QString lockPath();
    static QString serverName();

  private:
    int lockFd_ = -1;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace tvq
