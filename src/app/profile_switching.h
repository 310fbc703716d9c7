// Profiles switched from outside the page: by the application in focus
// (the page's ProfileFollower, fed by the source this desktop offers), from
// the session bus, the tray menu and tvqctl. The rules are kept in the
// program's settings file whenever they change.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

#include "desktop/mouse_service.h"
#include "page/settings_page.h"
#include "platform/settings_file.h"
#include "platform/x11/active_window.h"
#include "program/focus_source.h"

namespace tvq {

class ProfileSwitching final : public QObject, public ProfileControl {
    Q_OBJECT

  public:
    // `page` and `settings` outlive this object.
    ProfileSwitching(SettingsPage& page, SettingsFile& settings);
    // Writes rules that still wait for their save.
    ~ProfileSwitching() override;

    // Starts following the focus the way `source` gives it; `bus` is the
    // session bus, `programFolder` holds the KWin script.
    void start(FocusSource source, const QDBusConnection& bus, const std::string& programFolder);
    FocusSource source() const { return source_; }
    // GNOME: whether the program's Shell extension is enabled (known a moment
    // after start).
    bool extensionEnabled() const { return extensionEnabled_; }

    // ProfileControl
    QStringList profileNames() const override;
    QString currentProfile() const override;
    bool selectProfile(const QString& name) override;
    void activeApplicationChanged(const QString& app) override;
    bool setApplicationRule(const QString& app, const QString& profile) override;
    QMap<QString, QString> applicationRules() const override;
    bool automaticSwitching() const override;
    void setAutomaticSwitching(bool on) override;
    QString applyProfileFile(const QByteArray& bytes,
                             std::function<void(const ApplyResult&, int)> done) override;

    static constexpr const char* kGnomeExtension = "tvq-config@tvq_config.github.io";
    static constexpr const char* kKWinScript = "tvq-config-focus";

  signals:
    // Another profile is the selected one, or the selected one was renamed.
    void currentProfileChanged();
    // The rules or the switch changed (here, on the bus, by a rename).
    void rulesChanged();
    // The rules could not be written to the settings file.
    void rulesNotSaved();

  private:
    // Writes the rules to the settings file: at once, then at most once per
    // kRulesSaveMs while changes keep coming (a flood over the bus), and
    // once more after the last.
    void saveRules();
    static constexpr int kRulesSaveMs = 1000;
    void followX11();
    void loadKWinScript(const QDBusConnection& bus, const std::string& programFolder);
    void askGnomeExtension(const QDBusConnection& bus);

    SettingsPage& page_;
    SettingsFile& settings_;
    QTimer rulesSaved_;  // runs for kRulesSaveMs after a save of the rules
    bool rulesWaiting_ = false;
    FocusSource source_ = FocusSource::kNone;
    ActiveWindowWatch x11_;
    std::unique_ptr<QSocketNotifier> x11Readable_;
    bool extensionEnabled_ = false;
};

}  // namespace tvq
