#include "platform/bus_probe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace tvq {
namespace {

using Clock = std::chrono::steady_clock;

// A value of an address, with its %XX escapes undone.
std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            const std::string hex(value.substr(i + 1, 2));
            char* end = nullptr;
            const long byte = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// The socket address of one "unix:path=…" or "unix:abstract=…" entry.
std::optional<std::pair<sockaddr_un, socklen_t>> unixAddress(std::string_view entry) {
    constexpr std::string_view kUnix = "unix:";
    if (entry.substr(0, kUnix.size()) != kUnix) {
        return std::nullopt;
    }
    entry.remove_prefix(kUnix.size());
    while (!entry.empty()) {
        const std::size_t comma = entry.find(',');
        const std::string_view pair = entry.substr(0, comma);
        entry = comma == std::string_view::npos ? std::string_view{} : entry.substr(comma + 1);
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        const std::string_view key = pair.substr(0, eq);
        const std::string value = unescaped(pair.substr(eq + 1));
        const bool abstract = key == "abstract";
        if ((key != "path" && !abstract) || value.empty()) {
            continue;
        }
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t start = abstract ? 1 : 0;  // abstract names begin with a NUL
        if (start + value.size() >= sizeof address.sun_path) {
            return std::nullopt;
        }
        std::memcpy(address.sun_path + start, value.data(), value.size());
        // A path ends with its NUL; an abstract name is counted exactly.
        const std::size_t used = start + value.size() + (abstract ? 0 : 1);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + used);
        return std::make_pair(address, length);
    }
    return std::nullopt;
}

int remainingMs(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool waitFor(int fd, short events, Clock::time_point end) {
    pollfd p{fd, events, 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, remainingMs(end));
    } while (n < 0 && errno == EINTR);
    return n > 0;
}

enum class Answer { kSpoke, kSilent, kUnreachable };

Answer ask(const sockaddr_un& address, socklen_t length, Clock::time_point end) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return Answer::kUnreachable;
    }
    Answer answer = Answer::kUnreachable;
    const int connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length);
    if (connected == 0 || errno == EINPROGRESS || errno == EAGAIN) {
        answer = Answer::kSilent;
        if (connected == 0 || waitFor(fd, POLLOUT, end)) {
            // What every client says first: a NUL byte, then the request to
            // authenticate as this user. Any server answers it, yes or no.
            std::string hello(1, '\0');
            hello += "AUTH EXTERNAL ";
            for (const char c : std::to_string(::getuid())) {
                static constexpr char kHex[] = "0123456789abcdef";
                hello += kHex[static_cast<unsigned char>(c) >> 4];
                hello += kHex[static_cast<unsigned char>(c) & 0xf];
            }
            hello += "\r\n";
            if (::send(fd, hello.data(), hello.size(), MSG_NOSIGNAL) ==
                    static_cast<ssize_t>(hello.size()) &&
                waitFor(fd, POLLIN, end)) {
                char byte = 0;
                answer = ::recv(fd, &byte, 1, 0) == 1 ? Answer::kSpoke : Answer::kUnreachable;
            }
        }
    }
    ::close(fd);
    return answer;
}

}  // namespace

bool busIsSilent(const std::string& address, std::chrono::milliseconds limit) {
    const Clock::time_point end = Clock::now() + limit;
    std::string_view rest = address;
    // The library tries the entries in order and takes the first it reaches.
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        const std::string_view entry = rest.substr(0, semicolon);
        rest =
            semicolon == std::string_view::npos ? std::string_view{} : rest.substr(semicolon + 1);
        const auto unix = unixAddress(entry);
        if (!unix) {
            if (!entry.empty()) {
                return false;  // a transport this cannot ask: the library's own
            }
            continue;
        }
        if (const Answer answer = ask(unix->first, unix->second, end);
            answer != Answer::kUnreachable) {
            return answer == Answer::kSilent;
        }
    }
    return false;
}

}  // namespace tvq
