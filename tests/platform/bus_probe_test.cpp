#include "platform/bus_probe.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <thread>

namespace tvq {
namespace {

using namespace std::chrono_literals;

// A listening socket at an abstract name; `answer` makes it say no to the
// first client as a bus does when it refuses the authentication.
class Listener {
  public:
    explicit Listener(const std::string& name, bool answer) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, name.data(), name.size());
        const auto length =
            static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                 ::listen(fd_, 4) == 0;
        if (bound_ && answer) {
            answerer_ = std::thread([this] {
                const int client = ::accept(fd_, nullptr, nullptr);
                char buffer[64];
                if (client >= 0 && ::recv(client, buffer, sizeof buffer, 0) > 0) {
                    ::send(client, "REJECTED\r\n", 10, MSG_NOSIGNAL);
                }
                ::close(client);
            });
        }
    }
    ~Listener() {
        if (answerer_.joinable()) {
            answerer_.join();
        }
        ::close(fd_);
    }
    bool bound() const { return bound_; }

  private:
    int fd_ = -1;
    bool bound_ = false;
    std::thread answerer_;
};

TEST(BusProbeTest, OnlyABusThatTakesTheConnectionAndSaysNothingIsSilent) {
    const std::string name = "tvq-probe-" + std::to_string(::getpid());
    {
        Listener silent(name, false);
        ASSERT_TRUE(silent.bound());
        // Escaped as a session manager may write it; after an address that
        // cannot be reached, as the library would go on to it.
        EXPECT_TRUE(busIsSilent("unix:path=/nonexistent/bus;unix:abstract=tvq%2dprobe-" +
                                    std::to_string(::getpid()) + ",guid=00",
                                100ms));
    }
    {
        Listener answering(name, true);
        ASSERT_TRUE(answering.bound());
        EXPECT_FALSE(busIsSilent("unix:abstract=" + name, 2s));
    }
    EXPECT_FALSE(busIsSilent("unix:abstract=" + name, 100ms));  // nobody listens
    EXPECT_FALSE(busIsSilent("tcp:host=localhost,port=1", 100ms));
    EXPECT_FALSE(busIsSilent("", 100ms));
}

}  // namespace
}  // namespace tvq
