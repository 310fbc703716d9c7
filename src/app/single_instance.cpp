#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/debug.h"
#include "base/product.h"

namespace tvq {
namespace {

constexpr char kShowRequest[] = "1037\n";

// A folder only this user can use: a directory (not a link), owned by the
// user, that nobody else can write.
bool privateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(path.c_str(), W_OK | X_OK) == 0;
}

// The user's runtime folder, where the lock and the socket live: the
// session's XDG_RUNTIME_DIR when it is usable, else a private folder of
// our own in the temporary folder (created 0700), else one in the home.
std::string findRuntimeFolder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg != nullptr && xdg[0] == '/' && privateFolder(xdg)) {
        return xdg;
    }
    const std::string uid = std::to_string(::getuid());
    std::vector<std::string> candidates;
    const char* tmp = std::getenv("TMPDIR");
    candidates.push_back(std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") +
                         "/tvq-runtime-" + uid);
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        candidates.push_back(std::string(home) + "/.cache/tvq-runtime-" + uid);
    }
    for (const std::string& folder : candidates) {
        ::mkdir(folder.c_str(), 0700);
        if (privateFolder(folder)) {
            // The toolkit would otherwise make the missing folder itself, and
            // the next copy would then look there instead.
            ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
            return folder;
        }
    }
    return {};
}

const std::string& runtimeFolder() {
    static const std::string folder = findRuntimeFolder();
    return folder;
}

QString instanceBase() {
    return QString::fromLocal8Bit(runtimeFolder()) + "/" + kProductName + "-" +
           QString::number(::getuid());
}

// The socket's address. A path too long for an address is reached through
// the runtime folder's descriptor: "/proc/self/fd/<n>/<name>".
bool socketAddress(sockaddr_un& address, int& folderFd) {
    QByteArray path = SingleInstance::socketPath().toLocal8Bit();
    address = {};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        folderFd = ::open(runtimeFolder().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folderFd < 0) {
            return false;
        }
        path = QByteArray("/proc/self/fd/") + QByteArray::number(folderFd) + "/" +
               path.mid(path.lastIndexOf('/') + 1);
        if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
            return false;
        }
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// Closes the folder descriptor socketAddress may have opened.
struct FolderFd {
    int fd = -1;
    ~FolderFd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

SingleInstance::~SingleInstance() {
    for (const auto& [fd, notifier] : clients_) {
        ::close(fd);
    }
    clients_.clear();
    serverNotifier_.reset();
    if (serverFd_ >= 0) {
        ::close(serverFd_);
        ::unlink(socketPath().toLocal8Bit().constData());  // unlink takes any length
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock
    }
}

QString SingleInstance::lockPath() {
    return instanceBase() + ".lock";
}
QString SingleInstance::socketPath() {
    return instanceBase() + ".socket";
}

bool SingleInstance::acquire() {
    if (!runtimeFolder().empty()) {
        lockFd_ = ::open(lockPath().toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    if (lockFd_ < 0) {
        debug::write("cannot open " + lockPath().toStdString() + "; running unguarded\n");
        guarded_ = false;
        return true;
    }
    return ::flock(lockFd_, LOCK_EX | LOCK_NB) == 0;
}

void SingleInstance::notifyRunningCopy() const {
    sockaddr_un address;
    FolderFd folder;
    if (!socketAddress(address, folder.fd)) {
        return;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // A local connect completes at once or fails: a copy that is still
    // starting has no socket yet, and the request goes nowhere.
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        [[maybe_unused]] const ssize_t n =
            ::send(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL);
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

void SingleInstance::listen(std::function<void()> onShow) {
    onShow_ = std::move(onShow);
    sockaddr_un address;
    FolderFd folder;
    if (!socketAddress(address, folder.fd)) {
        return;
    }
    ::unlink(address.sun_path);  // we hold the lock: any socket there is stale
    serverFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (serverFd_ < 0 ||
        ::bind(serverFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(serverFd_, 4) != 0) {
        debug::write("cannot listen on " + socketPath().toStdString() + "\n");
        if (serverFd_ >= 0) {
            ::close(serverFd_);
            serverFd_ = -1;
        }
        return;
    }
    serverNotifier_ = std::make_unique<QSocketNotifier>(serverFd_, QSocketNotifier::Read);
    QObject::connect(serverNotifier_.get(), &QSocketNotifier::activated, serverNotifier_.get(),
                     [this] { accept(); });
}

void SingleInstance::accept() {
    const int client = ::accept4(serverFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) {
        return;
    }
    auto notifier = std::make_unique<QSocketNotifier>(client, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                     [this, client] { read(client); });
    clients_[client] = std::move(notifier);
}

void SingleInstance::read(int client) {
    char buffer[16];
    const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
    const bool show = n >= 4 && std::memcmp(buffer, kShowRequest, 4) == 0;
    // One request per connection: done with this client either way.
    if (n != -1 || errno != EAGAIN) {
        clients_[client]->setEnabled(false);
        clients_[client].release()->deleteLater();  // Qt deletes it once back in the loop
        clients_.erase(client);
        ::close(client);
    }
    if (show && onShow_) {
        onShow_();
    }
}

}  // namespace tvq
