#include "program/autostart.h"

#include <vector>

#include "base/paths.h"
#include "base/product.h"

namespace tvq {

std::string autostartPath(const Environment& env) {
    std::string config;
    if (const auto xdg = env("XDG_CONFIG_HOME"); xdg && !xdg->empty() && (*xdg)[0] == '/') {
        config = *xdg;
    } else if (const auto home = env("HOME"); home && !home->empty() && (*home)[0] == '/') {
        config = *home + "/.config";
    } else {
        return {};
    }
    return config + "/autostart/" + kAppId + ".desktop";
}

std::string autostartEntry(const std::string& program, bool hidden) {
    // Exec takes the path quoted. Within quotes '"', '`', '$' and '\\' are
    // escaped with a backslash, which the string rules then double; '%'
    // is doubled for the field codes.
    std::string quoted = "\"";
    for (const char c : program) {
        if (c == '\\') {
            quoted += "\\\\\\\\";
            continue;
        }
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
        } else if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    quoted += '"';
    return std::string("[Desktop Entry]\n") + "Type=Application\n" + "Name=" + kProductName + "\n" +
           "Exec=" + quoted + (hidden ? std::string(" ") + paths::kStartHiddenOption : "") + "\n" +
           "Icon=" + kAppId + "\n" + "Terminal=false\n" + "X-GNOME-Autostart-enabled=true\n";
}

bool autostartEnabled(FileSystem& fs, const Environment& env) {
    const std::string path = autostartPath(env);
    return !path.empty() && fs.regularFileSize(path).has_value();
}

bool autostartHidden(FileSystem& fs, const Environment& env) {
    const std::string path = autostartPath(env);
    const auto bytes = path.empty() ? std::nullopt : fs.readFile(path);
    if (!bytes) {
        return true;
    }
    const std::string text(bytes->begin(), bytes->end());
    const std::size_t exec = text.find("\nExec=");
    const std::size_t end = text.find('\n', exec + 1);
    return exec == std::string::npos ||
           text.substr(exec, end - exec).find(paths::kStartHiddenOption) != std::string::npos;
}

bool setAutostart(FileSystem& fs, const Environment& env, bool on, const std::string& program,
                  bool hidden) {
    const std::string path = autostartPath(env);
    if (path.empty()) {
        return false;
    }
    if (!on) {
        return fs.removeFile(path);
    }
    const std::string folder = path.substr(0, path.find_last_of('/'));
    if (!fs.isDirectory(folder) && !fs.createDirectories(folder)) {
        return false;
    }
    const std::string text = autostartEntry(program, hidden);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    return fs.replaceFile(path, bytes);
}

}  // namespace tvq
