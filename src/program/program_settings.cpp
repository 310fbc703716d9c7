#include "program/program_settings.h"

#include <algorithm>

#include "base/text.h"

namespace tvq {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    const auto ascii = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(a) && ascii(b)) {
        // Most ids: compared without converting them, as rules are looked
        // up for every focus change and every rule set or read.
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   const auto lower = [](char c) {
                       return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                   };
                   return lower(x) == lower(y);
               });
    }
    return equalIgnoringCase(utf16FromUtf8(a), utf16FromUtf8(b));
}

}  // namespace

const AppRule* ApplicationRules::find(std::string_view app) const {
    const auto it = std::find_if(rules.begin(), rules.end(),
                                 [&](const AppRule& r) { return sameName(r.app, app); });
    return it != rules.end() ? &*it : nullptr;
}

bool ApplicationRules::set(std::string_view app, std::string_view profile) {
    const auto control = [](std::string_view text) {
        return std::any_of(text.begin(), text.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7F;
        });
    };
    if (app.empty() || app.size() > kMaxAppIdBytes || control(app) || control(profile)) {
        return false;
    }
    const std::size_t removed =
        std::erase_if(rules, [&](const AppRule& r) { return sameName(r.app, app); });
    if (!profile.empty()) {
        if (removed == 0 && rules.size() >= kMaxRules) {
            return false;
        }
        rules.push_back({std::string(app), std::string(profile)});
    }
    return true;
}

void ApplicationRules::renameProfile(std::string_view from, std::string_view to) {
    for (AppRule& r : rules) {
        if (sameName(r.profile, from)) {
            r.profile = to;
        }
    }
}

void ApplicationRules::removeProfile(std::string_view name) {
    std::erase_if(rules, [&](const AppRule& r) { return sameName(r.profile, name); });
}

}  // namespace tvq
