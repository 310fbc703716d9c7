// The product's identity, used for folder names, lock names and window titles.
#pragma once

namespace tvq {

inline constexpr const char* kProductName = "TERVANA TVQ-R270 WIRELESS MOUSE";

}  // namespace tvq
