// A command's failure: one line on standard error naming what failed, and
// exit status 2.
#pragma once

#include <string>

namespace tvq {

struct Failure {
    std::string subject;
    std::string message;
};

constexpr int kExitError = 2;

// What every line on standard error starts with: "tvqctl <command>: ", or
// "tvqctl: " before a command is known.
std::string errorPrefix();
void setCommandName(std::string name);

}  // namespace tvq
