// The folder of the running program.
#pragma once

#include <string>

namespace tvq {

// The folder that holds the running executable, ending in '/'. The program's
// libraries and "res/" lie there. Empty when the system does not tell.
std::string programFolder();

}  // namespace tvq
