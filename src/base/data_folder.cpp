#include "base/data_folder.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "base/debug.h"
#include "base/paths.h"
#include "base/product.h"

namespace tvq {
namespace {

bool isAbsolute(const std::optional<std::string>& path) {
    return path.has_value() && !path->empty() && path->front() == '/';
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// A base folder by the XDG base-directory rules: `variable` when it is
// absolute (a relative one is invalid and ignored), else `underHome` in HOME.
std::optional<std::string> xdgHome(const Environment& env, std::string_view variable,
                                   std::string_view underHome) {
    const std::optional<std::string> xdg = env(variable);
    if (isAbsolute(xdg)) {
        return withoutTrailingSlashes(*xdg);
    }
    const std::optional<std::string> home = env("HOME");
    if (isAbsolute(home)) {
        return withoutTrailingSlashes(*home) + std::string(underHome);
    }
    return std::nullopt;
}

std::optional<std::string> dataHome(const Environment& env) {
    return xdgHome(env, "XDG_DATA_HOME", "/.local/share");
}

std::string productFolder(const std::string& home) {
    return home + "/" + kProductName;
}

}  // namespace

Environment processEnvironment() {
    return [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        if (value == nullptr) {
            return std::nullopt;
        }
        return std::string(value);
    };
}

std::string dataFolderPath(const Environment& env, const std::string& programFolder) {
    if (const std::optional<std::string> home = dataHome(env)) {
        return productFolder(*home) + "/";
    }
    return programFolder + paths::kFallbackDataFolder + "/";
}

std::string dataFolder(FileSystem& fs, const Environment& env, const std::string& programFolder) {
    const std::optional<std::string> home = dataHome(env);
    if (!home) {
        const std::string fallback = programFolder + paths::kFallbackDataFolder;
        if (!fs.isDirectory(fallback)) {
            fs.createDirectory(fallback);
        }
        return fallback + "/";
    }
    const std::string folder = productFolder(*home);
    const std::string text = folder + "/";
    if (fs.isDirectory(folder)) {
        debug::write("mousehid exit");
        return text;
    }
    if (!fs.isDirectory(*home) && !fs.createDirectories(*home)) {
        return text;
    }
    fs.createDirectory(folder);
    return text;
}

std::string storeFolder(const std::string& dataFolder) {
    return dataFolder + paths::kStoreFolder;
}

std::string profileStorePath(const std::string& dataFolder) {
    return storeFolder(dataFolder) + "/" + paths::kProfileStoreFile;
}

std::string macroStorePath(const std::string& dataFolder) {
    return storeFolder(dataFolder) + "/" + paths::kMacroStoreFile;
}

void ensureStoreFolder(FileSystem& fs, const std::string& dataFolder) {
    const std::string folder = storeFolder(dataFolder);
    if (!fs.isDirectory(folder)) {
        fs.createDirectory(folder);
    }
}

std::string keepDamagedStore(FileSystem& fs, const std::string& path) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char stamp[32] = "unknown-time";
    if (const std::tm* t = std::gmtime(&now)) {
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", t);
    }
    const std::string base = path + ".damaged-" + stamp;
    for (int n = 1; n < 100; ++n) {
        const std::string kept = n == 1 ? base : base + "-" + std::to_string(n);
        if (fs.exists(kept)) {
            continue;
        }
        return fs.renameFile(path, kept) ? kept : std::string();
    }
    return {};
}

std::string settingsFilePath(const Environment& env) {
    const std::optional<std::string> home = xdgHome(env, "XDG_CONFIG_HOME", "/.config");
    return home ? *home + "/" + paths::kSettingsFolder + "/" + paths::kSettingsFile : std::string();
}

}  // namespace tvq
