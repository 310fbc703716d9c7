// A data folder in memory, with the stores pointed at it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/data_folder.h"
#include "fake_texts.h"
#include "memory_file_system.h"

namespace tvq::testing {

inline constexpr const char* kDataHome = "/home/user/.local/share";
inline const std::string kDataFolder = std::string(kDataHome) + "/TERVANA TVQ-R270 WIRELESS MOUSE/";
inline const std::string kProPath = kDataFolder + "ms_1/pro.data";
inline const std::string kMacroPath = kDataFolder + "ms_1/macro.data";

inline Environment environmentWith(std::optional<std::string> xdg, std::optional<std::string> home,
                                   std::optional<std::string> config = std::nullopt) {
    return [xdg, home, config](std::string_view name) -> std::optional<std::string> {
        if (name == "XDG_DATA_HOME") {
            return xdg;
        }
        if (name == "XDG_CONFIG_HOME") {
            return config;
        }
        if (name == "HOME") {
            return home;
        }
        return std::nullopt;
    };
}

struct StoreFixture {
    MemoryFileSystem fs;
    FakeTexts texts;
    DataLocation location{fs, environmentWith(kDataHome, "/home/user"), "/opt/tvq/"};
};

}  // namespace tvq::testing
