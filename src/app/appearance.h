// Light or dark for the whole program: the user's choice, or the desktop's
// preference. The desktop's is the portal's "color-scheme" where a portal
// answers, else the palette the desktop gave Qt. Set as the application's
// palette, which the layouts' sheets and Qt's own menus, lists and file
// dialogs follow.
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>

#include "program/program_settings.h"
#include "toolkit/scheme.h"

namespace tvq {

class ColourSchemeWatch;
class SettingsFile;

class Appearance final {
  public:
    // Shows the chosen scheme at once; with the desktop's, the one it
    // preferred when last asked.
    explicit Appearance(SettingsFile& settings);
    ~Appearance();

    // Asks the desktop's portal on `bus` and follows its changes.
    void followDesktop(QDBusConnection bus);

    AppearanceChoice choice() const { return choice_; }
    // Shows `choice` and keeps it in the settings file; false when the file
    // could not be written (the choice is shown all the same).
    bool choose(AppearanceChoice choice);
    Scheme scheme() const;

  private:
    void desktopPreferred(std::optional<Scheme> preferred);
    void apply();

    SettingsFile& settings_;
    AppearanceChoice choice_;
    const Scheme desktopPalette_;  // of the palette the desktop gave Qt, before ours
    Scheme desktop_;               // what the desktop prefers
    std::optional<Scheme> shown_;
    std::unique_ptr<ColourSchemeWatch> watch_;
};

}  // namespace tvq
