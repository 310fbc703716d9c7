#include "platform/data_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tvq {

DataFolderLock::DataFolderLock(const std::string& folder) {
    // The folder itself is locked first: its lock cannot be lost by
    // removing a file. The file's lock is kept for copies that take only it.
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ >= 0 && ::flock(folderFd_, LOCK_EX | LOCK_NB) != 0) {
        state_ = errno == EWOULDBLOCK ? State::kInUse : State::kUnavailable;
        ::close(folderFd_);
        folderFd_ = -1;
        if (state_ == State::kInUse) {
            return;
        }
    }
    const std::string path = folder + "/" + kFileName;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        state_ = folderFd_ >= 0 ? State::kHeld : State::kUnavailable;
        return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::kHeld;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::kInUse : State::kUnavailable;
    ::close(fd_);
    fd_ = -1;
    if (folderFd_ >= 0 && state_ == State::kUnavailable) {
        state_ = State::kHeld;  // the folder's lock guards it
    }
}

DataFolderLock::~DataFolderLock() {
    for (const int fd : {fd_, folderFd_}) {
        if (fd >= 0) {
            ::close(fd);  // the lock goes with the descriptor
        }
    }
}

}  // namespace tvq
