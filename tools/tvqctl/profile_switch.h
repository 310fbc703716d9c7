// tvqctl profile list | select NAME | next | previous: through the running
// program on the session bus when it runs; otherwise on the profile store
// itself, and the profile chosen is written to the mouse.
#pragma once

#include <string>
#include <vector>

#include "base/file_system.h"
#include "profiles/profile.h"

namespace tvq {

int profileList(FileSystem& fs, const std::vector<std::string>& args);
int profileSelect(FileSystem& fs, const std::vector<std::string>& args);
int profileNext(FileSystem& fs, const std::vector<std::string>& args);
int profilePrevious(FileSystem& fs, const std::vector<std::string>& args);

// Has the running program write `profile` to the mouse, so that it always
// knows what the mouse holds; prints what became of it. The exit status of
// tvqctl apply, or -1 when the program does not run on the session bus.
int applyThroughProgram(const Profile& profile);

}  // namespace tvq
