#include "protocol/button_functions.h"

#include <algorithm>

namespace tvq {

static_assert(std::is_sorted(kButtonFunctions.begin(), kButtonFunctions.end(),
                             [](const ButtonFunction& a, const ButtonFunction& b) {
                                 return a.code < b.code;
                             }),
              "the button functions are by code, each once");

const ButtonFunction* buttonFunction(std::uint8_t code) {
    const auto row =
        std::lower_bound(kButtonFunctions.begin(), kButtonFunctions.end(), code,
                         [](const ButtonFunction& f, std::uint8_t c) { return f.code < c; });
    return row != kButtonFunctions.end() && row->code == code ? &*row : nullptr;
}

}  // namespace tvq
