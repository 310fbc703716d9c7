#include "page/profile_follower.h"

#include <algorithm>

#include "base/debug.h"
#include "base/text.h"

namespace tvq {

bool ProfileFollower::setRule(std::string_view app, std::string_view profile) {
    if (!rules_.set(app, profile)) {
        return false;
    }
    tell();
    if (equalIgnoringCase(utf16FromUtf8(app), utf16FromUtf8(active_))) {
        activeApplicationChanged(active_);  // the application in focus follows its new rule
    }
    return true;
}

void ProfileFollower::setAutomatic(bool on) {
    if (rules_.automatic == on) {
        return;
    }
    rules_.automatic = on;
    tell();
}

void ProfileFollower::pickedByHand() {
    if (const Profile* current = store_.current()) {
        handPicked_ = utf8FromUtf16(fieldText(current->name));
    }
}

void ProfileFollower::profileRenamed(std::u16string_view from, std::u16string_view to) {
    const std::string oldName = utf8FromUtf16(from);
    const std::string newName = utf8FromUtf16(to);
    if (equalIgnoringCase(utf16FromUtf8(handPicked_), from)) {
        handPicked_ = newName;
    }
    const ApplicationRules before = rules_;
    rules_.renameProfile(oldName, newName);
    if (rules_ != before) {
        tell();
    }
}

void ProfileFollower::profileRemoved(std::u16string_view name) {
    const ApplicationRules before = rules_;
    rules_.removeProfile(utf8FromUtf16(name));
    if (rules_ != before) {
        tell();
    }
    if (equalIgnoringCase(utf16FromUtf8(handPicked_), name)) {
        pickedByHand();  // what the store selected in its place
    }
}

bool ProfileFollower::own(std::string_view app) const {
    return std::any_of(own_.begin(), own_.end(), [app](const std::string& id) {
        return equalIgnoringCase(utf16FromUtf8(id), utf16FromUtf8(app));
    });
}

void ProfileFollower::activeApplicationChanged(std::string_view app) {
    if (own(app)) {
        return;
    }
    active_ = app;
    if (!rules_.automatic) {
        return;
    }
    const unsigned generation = ++generation_;
    scheduler_.runLater(kSettleMs, [this, generation] { settle(generation); });
}

void ProfileFollower::settle(unsigned generation) {
    if (generation != generation_ || !rules_.automatic) {
        return;  // the focus moved on, or switching was turned off meanwhile
    }
    const AppRule* rule = rules_.find(active_);
    int row = rule != nullptr ? rowOf(rule->profile) : -1;
    if (row < 0) {
        row = rowOf(handPicked_);
    }
    if (row < 0 || row == store_.currentIndex()) {
        return;
    }
    if (busy_ && busy_()) {
        // The user is in a dialog of ours: the switch waits for it.
        scheduler_.runLater(kSettleMs, [this, generation] { settle(generation); });
        return;
    }
    debug::write("focus on \"" + active_ + "\": profile " + std::to_string(row + 1) + "\n");
    select_(row);
}

int ProfileFollower::rowOf(std::string_view profile) const {
    return profile.empty() ? -1 : store_.rowOf(utf16FromUtf8(profile));
}

void ProfileFollower::tell() const {
    if (rulesChanged_) {
        rulesChanged_(rules_);
    }
}

}  // namespace tvq
