#include "platform/data_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tvq {

DataFolderLock::DataFolderLock(const std::string& folder) {
    const std::string path = folder + "/" + kFileName;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::kHeld;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::kInUse : State::kUnavailable;
    ::close(fd_);
    fd_ = -1;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // the lock goes with the descriptor
    }
}

}  // namespace tvq
