// Unique names for profiles and macros.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tvq {

// Returns `base` when it is free, else the first free "<base>_<n>" for
// n = 1, 2, 3 ... . Every candidate fits in `maxUnits` UTF-16 units: the base
// is shortened (never inside a surrogate pair) so that the suffix fits whole.
// `taken` answers whether a name is already used. With `firstSuffix`, the
// numbers start there (every smaller one is known to be taken), and it is
// left at the number used.
std::u16string makeUniqueName(std::u16string_view base, std::size_t maxUnits,
                              const std::function<bool(std::u16string_view)>& taken,
                              std::size_t* firstSuffix = nullptr);

// A name made of a language text and a number with nothing in between, such
// as the first profile's "Profile1". The text is shortened so that the
// number always fits in `maxUnits`.
std::u16string numberedName(std::u16string_view text, std::size_t number, std::size_t maxUnits);

}  // namespace tvq
