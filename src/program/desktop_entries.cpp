#include "program/desktop_entries.h"

namespace tvq {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

std::optional<DesktopApp> parseDesktopEntry(std::string_view fileName, std::string_view text) {
    constexpr std::string_view kSuffix = ".desktop";
    if (fileName.size() <= kSuffix.size() || !fileName.ends_with(kSuffix)) {
        return std::nullopt;
    }
    DesktopApp app;
    app.id = fileName.substr(0, fileName.size() - kSuffix.size());
    bool inEntry = false;
    bool application = false;
    bool hidden = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inEntry || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        if (key == "Type") {
            application = value == "Application";
        } else if (key == "Name") {
            app.name = value;
        } else if (key == "Icon") {
            app.icon = value;
        } else if ((key == "NoDisplay" || key == "Hidden") && value == "true") {
            hidden = true;
        }
    }
    app.name = shownText(app.name, kMaxNameBytes);
    app.icon = shownText(app.icon, kMaxIconBytes);
    if (!application || hidden || app.name.empty()) {
        return std::nullopt;
    }
    return app;
}

std::string shownText(std::string_view text, std::size_t maxBytes) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            out += c;
        }
    }
    if (out.size() > maxBytes) {
        // Cut at a character's start, never inside one.
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.resize(cut);
    }
    return out;
}

std::vector<std::string> applicationFolders(const Environment& env) {
    std::vector<std::string> folders;
    const auto absolute = [](const std::optional<std::string>& v) {
        return v && !v->empty() && v->front() == '/';
    };
    if (const auto data = env("XDG_DATA_HOME"); absolute(data)) {
        folders.push_back(*data + "/applications");
    } else if (const auto home = env("HOME"); absolute(home)) {
        folders.push_back(*home + "/.local/share/applications");
    }
    std::string dirs = env("XDG_DATA_DIRS").value_or("");
    if (dirs.empty()) {
        dirs = "/usr/local/share:/usr/share";
    }
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && dir.front() == '/') {
            folders.push_back(dir + "/applications");
        }
        start = end + 1;
    }
    return folders;
}

}  // namespace tvq
