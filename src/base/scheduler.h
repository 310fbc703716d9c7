// Work handed to the user-interface thread. The program runs it on its
// event loop; tvqctl and the tests on a loop of their own.
#pragma once

#include <functional>

namespace tvq {

class Scheduler {
  public:
    virtual ~Scheduler() = default;
    // Runs `task` on the user-interface thread after `ms` milliseconds,
    // without blocking that thread in the meantime. User-interface thread.
    virtual void runLater(int ms, std::function<void()> task) = 0;
    // Hands `task` to the user-interface thread; callable from any thread.
    virtual void runOnUiThread(std::function<void()> task) = 0;
};

}  // namespace tvq
