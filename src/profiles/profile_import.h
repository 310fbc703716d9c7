// What an imported profile brings along: its macro bindings carry whole
// copies of their macros, which join the macro library.
#pragma once

#include <cstddef>

#include "macros/macro_store.h"
#include "profiles/profile.h"

namespace tvq {

// For every macro binding of `imported` (all five mode slots, all 18
// buttons): a new macro record in `macros`, named after the binding's macro
// with "_<n>" added when the library has the name already, made of the
// binding's actions; the binding then names and points at it. The store is
// not saved. Returns how many macros were added.
std::size_t bringMacrosIntoStore(Profile& imported, MacroStore& macros);
// How many macros bringMacrosIntoStore would add for `imported`.
std::size_t macrosCarried(const Profile& imported);

}  // namespace tvq
