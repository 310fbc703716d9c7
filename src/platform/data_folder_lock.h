// One writer per data folder: a lock on the folder and on a file in it, held
// for the program's life. Two copies of the program with different runtime folders
// (two sessions of one user) would otherwise both write the same stores.
#pragma once

#include <string>

namespace tvq {

class DataFolderLock {
  public:
    enum class State {
        kHeld,         // this process writes the folder
        kInUse,        // another process holds it
        kUnavailable,  // no lock file could be made (read-only folder): unguarded
    };

    // Takes the locks on the folder and on "<folder>/tvq-config.lock",
    // creating the file.
    explicit DataFolderLock(const std::string& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    State state() const { return state_; }

    static constexpr const char* kFileName = "tvq-config.lock";

  private:
    int fd_ = -1;
    int folderFd_ = -1;
    State state_ = State::kUnavailable;
};

}  // namespace tvq
