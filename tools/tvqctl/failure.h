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

}  // namespace tvq
