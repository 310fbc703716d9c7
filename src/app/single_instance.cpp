#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <cstdlib>

#include "base/constants.h"
#include "base/debug.h"

namespace tvq {
namespace {

constexpr const char* kShowRequest = "1037\n";
constexpr int kSocketWaitMs = 1000;

}  // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() {
    server_.reset();
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock
    }
}

namespace {

// The user's runtime folder; both the lock and the socket live there.
QString runtimeFolder() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (xdg != nullptr && xdg[0] == '/') {
        return QString::fromLocal8Bit(xdg);
    }
    return QDir::tempPath();
}

}  // namespace

QString SingleInstance::lockPath() {
    return runtimeFolder() + "/" + kProductName + "-" + QString::number(::getuid()) + ".lock";
}

QString SingleInstance::serverName() {
    return runtimeFolder() + "/" + kProductName + "-" + QString::number(::getuid()) + ".socket";
}

bool SingleInstance::acquire() {
    lockFd_ = ::open(lockPath().toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        debug::write("cannot open " + lockPath().toStdString() + "; running unguarded\n");
        return true;
    }
    return ::flock(lockFd_, LOCK_EX | LOCK_NB) == 0;
}

void SingleInstance::notifyRunningCopy() const {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kSocketWaitMs)) {
        return;  // the running copy is still starting: the request goes nowhere
    }
    socket.write(kShowRequest);
    socket.waitForBytesWritten(kSocketWaitMs);
    socket.disconnectFromServer();
}

void SingleInstance::listen(std::function<void()> onShow) {
    server_ = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(serverName());  // a socket left by a crashed copy
    if (!server_->listen(serverName())) {
        debug::write("cannot listen on " + serverName().toStdString() + "\n");
        return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                     [server = server_.get(), onShow] {
                         while (QLocalSocket* client = server->nextPendingConnection()) {
                             QObject::connect(client, &QLocalSocket::readyRead, client,
                                              [client, onShow] {
                                                  if (client->readAll().startsWith("1037")) {
                                                      onShow();
                                                  }
                                              });
                             QObject::connect(client, &QLocalSocket::disconnected, client,
                                              &QObject::deleteLater);
                         }
                     });
}

}  // namespace tvq
