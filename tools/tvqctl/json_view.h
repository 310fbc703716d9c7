// JSON views of the records, for tvqctl's "show" commands.
#pragma once

#include <nlohmann/json.hpp>

#include "macros/macro_record.h"
#include "profiles/profile.h"

namespace tvq {

// "#RRGGBB" of a stored 0x00BBGGRR colour.
std::string colorText(std::uint32_t stored);

nlohmann::ordered_json profileJson(const Profile& profile);
nlohmann::ordered_json macroJson(const MacroRecord& record);

}  // namespace tvq
