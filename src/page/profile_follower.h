// Profiles that follow the application in focus. When an application a rule
// names gets the focus, its profile becomes the selected one and is
// applied; when the focus moves to one no rule names, the profile chosen by
// hand last comes back. Focus that changes several times within kSettleMs
// switches once, to where it settled; while the user is in a dialog of ours
// the switch waits for it. A switch asks for an apply like any selection:
// the worker runs it after an apply in progress, with the newest profile.
// User-interface thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/scheduler.h"
#include "profiles/profile_store.h"
#include "program/program_settings.h"

namespace tvq {

class ProfileFollower {
  public:
    // `select` makes the profile at a row the selected one and applies it.
    ProfileFollower(Scheduler& scheduler, const ProfileStore& store,
                    std::function<void(int)> select)
        : scheduler_(scheduler), store_(store), select_(std::move(select)) {}

    // Whether the user is in a dialog of ours.
    void setBusy(std::function<bool()> busy) { busy_ = std::move(busy); }
    // Told whenever the rules change here (rename, deletion, a rule set).
    void setRulesChanged(std::function<void(const ApplicationRules&)> changed) {
        rulesChanged_ = std::move(changed);
    }

    // The rules as stored; nothing is told.
    void setRules(ApplicationRules rules) { rules_ = std::move(rules); }
    const ApplicationRules& rules() const { return rules_; }
    // False for an empty or overlong id.
    bool setRule(std::string_view app, std::string_view profile);
    void setAutomatic(bool on);
    // Whether a rule's profile exists (a rule naming none is ignored).
    bool profileExists(std::string_view profile) const { return rowOf(profile) >= 0; }

    // The store's selected profile was chosen by hand (the list, the tray,
    // the bus, tvqctl): it is the one the focus comes back to.
    void pickedByHand();
    void profileRenamed(std::u16string_view from, std::u16string_view to);
    void profileRemoved(std::u16string_view name);

    // The desktop says which application has the focus ("" for none known).
    // The program's own windows (`ownApplications`) are none: their focus
    // leaves the profile as it is, so that the user edits the profile the
    // application before chose.
    void activeApplicationChanged(std::string_view app);
    void setOwnApplications(std::vector<std::string> ids) { own_ = std::move(ids); }

    static constexpr int kSettleMs = 300;

  private:
    void settle(unsigned generation);
    bool own(std::string_view app) const;
    int rowOf(std::string_view profile) const;
    void tell() const;

    std::vector<std::string> own_;
    Scheduler& scheduler_;
    const ProfileStore& store_;
    std::function<void(int)> select_;
    std::function<bool()> busy_;
    std::function<void(const ApplicationRules&)> rulesChanged_;
    ApplicationRules rules_;
    std::string handPicked_;  // UTF-8
    std::string active_;
    unsigned generation_ = 0;
};

}  // namespace tvq
