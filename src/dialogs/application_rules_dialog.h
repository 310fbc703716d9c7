// The applications that choose a profile: a list of them (name, icon and
// id where the desktop knows the application), Add from the applications
// installed on the desktop or by typing an id, Remove, the switch for
// automatic switching as a whole, a line that says how the focus is followed
// on this desktop or why it cannot be, and the rules that name a profile
// that no longer exists, with a way to remove them. Every change is made at
// once through the callbacks; Close ends the dialog.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

#include "program/program_settings.h"
#include "toolkit/dialog_base.h"

namespace tvq {

class ApplicationRulesDialog final : public DialogBase {
  public:
    struct Access {
        std::function<ApplicationRules()> rules;
        // False when the id cannot be used (empty, too long).
        std::function<bool(const QString& app, const QString& profile)> setRule;
        std::function<void(bool on)> setAutomatic;
        std::function<QStringList()> profiles;
    };

    // `profile` is the profile whose applications are shown; `focusNote`
    // says how the focus is followed on this desktop.
    ApplicationRulesDialog(const LanguageManager* language, QString profile, QString focusNote,
                           Access access, QWidget* owner);

  protected:
    void setup() override;

  private:
    // The width the application box asks for, in characters.
    static constexpr int kChoiceWidthInChars = 32;

    void fillInstalled();
    void refresh();
    void add();
    void removeSelected();
    void removeStale();
    // The display text of an application id: its name and the id.
    QString describe(const QString& id) const;

    QString profile_;
    QString focusNote_;
    Access access_;
    struct Installed {
        QString id;
        QString name;
        QString icon;
    };
    // The installed application of an id (letter case ignored), or none.
    const Installed* installed(const QString& id) const;
    std::vector<Installed> installed_;
    QHash<QString, std::size_t> installedById_;  // case-folded id → index
    bool returnHandled_ = false;
};

}  // namespace tvq
