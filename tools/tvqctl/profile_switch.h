// tvqctl profile list | select NAME | next | previous: through the running
// program on the session bus when it runs; otherwise on the profile store
// itself, and the profile chosen is written to the mouse.
#pragma once

#include <string>
#include <vector>

#include "base/file_system.h"

namespace tvq {

int profileList(FileSystem& fs, const std::vector<std::string>& args);
int profileSelect(FileSystem& fs, const std::vector<std::string>& args);
int profileNext(FileSystem& fs, const std::vector<std::string>& args);
int profilePrevious(FileSystem& fs, const std::vector<std::string>& args);

}  // namespace tvq
