#include "page/desktop_mouse_settings.h"

#include <algorithm>
#include <cctype>

namespace tvq {
namespace {

using Command = std::vector<std::string>;

struct Desktop {
    const char* name;  // as XDG_CURRENT_DESKTOP names it, compared without case
    std::vector<Command> commands;
};

const std::vector<Desktop>& desktops() {
    static const std::vector<Desktop> table = {
        {"GNOME", {{"gnome-control-center", "mouse"}}},
        {"Unity", {{"gnome-control-center", "mouse"}, {"unity-control-center", "mouse"}}},
        {"Budgie", {{"budgie-control-center", "mouse"}, {"gnome-control-center", "mouse"}}},
        {"KDE",
         {{"systemsettings", "kcm_mouse"},
          {"kcmshell6", "kcm_mouse"},
          {"systemsettings5", "mouse"},
          {"kcmshell5", "mouse"}}},
        {"XFCE", {{"xfce4-mouse-settings"}}},
        {"MATE", {{"mate-mouse-properties"}}},
        {"X-Cinnamon", {{"cinnamon-settings", "mouse"}}},
        {"Cinnamon", {{"cinnamon-settings", "mouse"}}},
        {"LXQt", {{"lxqt-config-input"}}},
        {"LXDE", {{"lxinput"}}},
    };
    return table;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void addOnce(std::vector<Command>& to, const Command& c) {
    if (std::find(to.begin(), to.end(), c) == to.end()) {
        to.push_back(c);
    }
}

}  // namespace

std::vector<Command> mouseSettingsCommands(std::string_view currentDesktop) {
    std::vector<Command> found;
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        const std::size_t end = std::min(currentDesktop.find(':', start), currentDesktop.size());
        const std::string_view name = currentDesktop.substr(start, end - start);
        for (const Desktop& d : desktops()) {
            if (sameName(name, d.name)) {
                for (const Command& c : d.commands) {
                    addOnce(found, c);
                }
            }
        }
        start = end + 1;
    }
    if (found.empty()) {
        for (const Desktop& d : desktops()) {
            for (const Command& c : d.commands) {
                addOnce(found, c);
            }
        }
    }
    return found;
}

}  // namespace tvq
