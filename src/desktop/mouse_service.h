// The program on the session bus: "io.github.tvq_config.TvqConfig" at
// "/io/github/tvq_config/TvqConfig", interface
// "io.github.tvq_config.Profiles1": the profiles (list, select), the
// application rules and the focus reported by the desktop's scripts, and the
// mouse's connection, battery and charging. Every property announces its
// changes (org.freedesktop.DBus.Properties.PropertiesChanged). Bad input
// gets a D-Bus error and changes nothing.
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusContext>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "device/link_events.h"
#include "device/mouse_status.h"

namespace tvq {

// What the service does with the profiles; the program gives it.
class ProfileControl {
  public:
    virtual ~ProfileControl() = default;
    virtual QStringList profileNames() const = 0;
    virtual QString currentProfile() const = 0;
    // False when no profile has the name (letter case ignored).
    virtual bool selectProfile(const QString& name) = 0;
    virtual void activeApplicationChanged(const QString& app) = 0;
    // `profile` empty removes the rule. False for a profile that does not exist.
    virtual bool setApplicationRule(const QString& app, const QString& profile) = 0;
    virtual QMap<QString, QString> applicationRules() const = 0;
    virtual bool automaticSwitching() const = 0;
    virtual void setAutomaticSwitching(bool on) = 0;
    // Writes the profile in a profile file's bytes to the mouse once, in
    // place of the selected one, after the checks of an import; `done` hears
    // how the apply went and how many values the checks put back to their
    // defaults. Returns why the bytes are no profile file (and `done` is
    // never called), or an empty text.
    virtual QString applyProfileFile(
        const QByteArray& bytes, std::function<void(const ApplyResult&, int repaired)> done) = 0;
};

class MouseService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.tvq_config.Profiles1")
    Q_PROPERTY(QString CurrentProfile READ currentProfile)
    Q_PROPERTY(bool AutomaticSwitching READ automaticSwitching WRITE setAutomaticSwitching)
    Q_PROPERTY(QString Connection READ connection)
    Q_PROPERTY(int Battery READ battery)
    Q_PROPERTY(bool Charging READ charging)

  public:
    static constexpr const char* kServiceName = "io.github.tvq_config.TvqConfig";
    static constexpr const char* kObjectPath = "/io/github/tvq_config/TvqConfig";
    static constexpr const char* kInterface = "io.github.tvq_config.Profiles1";
    static constexpr const char* kNoSuchProfile = "io.github.tvq_config.Error.NoSuchProfile";
    static constexpr const char* kNotAProfile = "io.github.tvq_config.Error.NotAProfile";

    // Without `control` (a program without profiles) the profile members
    // answer with nothing.
    MouseService(QDBusConnection bus, ProfileControl* control, QObject* parent = nullptr);
    ~MouseService() override;

    // Registers the object and the name; false (and a debug line) when the
    // bus is not there or the name is taken.
    bool start();

    // The mouse's state changed: the properties follow.
    void setStatus(const MouseStatus& status);
    // The selected profile or the switch changed: their properties are announced.
    void profilesChanged();

    QString currentProfile() const;
    bool automaticSwitching() const;
    void setAutomaticSwitching(bool on);
    // "", "cable", "receiver" or "bluetooth".
    QString connection() const;
    // Percent, or -1 while unknown.
    int battery() const { return status_.battery > 0 ? status_.battery : -1; }
    bool charging() const { return status_.charging; }

  public Q_SLOTS:
    QStringList ListProfiles();
    void SelectProfile(const QString& name);
    void ActiveApplicationChanged(const QString& appId);
    void SetApplicationRule(const QString& appId, const QString& profile);
    QMap<QString, QString> ApplicationRules();
    // Answers once the apply has ended: whether the mouse could be reached,
    // the frames sent and taken, and the values the checks repaired.
    bool ApplyProfile(const QByteArray& profile, uint& frames, uint& taken, uint& repaired);

  private:
    // False, with an error reply, for an id that is empty or overlong.
    bool validAppId(const QString& appId);
    void announce(const QVariantMap& changed);

    QDBusConnection bus_;
    ProfileControl* control_;
    MouseStatus status_;
    QString announcedProfile_;
    bool announcedAutomatic_ = true;
    bool registered_ = false;
};

}  // namespace tvq
