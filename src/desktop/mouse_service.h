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
#include <QDBusMessage>
#include <QDBusVirtualObject>
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

class MouseService final : public QDBusVirtualObject {
    Q_OBJECT

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

    // Every message to the object: the interface's methods and properties,
    // each argument and value of the type the interface gives it (the bus
    // library would otherwise turn a text into a truth value).
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

  private:
    // The answer to `call`: an error, or the reply carrying `values`.
    void answer(const QDBusMessage& call, const QVariantList& values);
    void fail(const QDBusMessage& call, const QString& name, const QString& text);
    void handleProperties(const QDBusMessage& call);
    void handleMethod(const QDBusMessage& call);
    QVariant property(const QString& name) const;
    QVariantMap properties() const;

    // False, with an error reply to `call`, for an id that is empty, overlong
    // or holds control characters.
    bool validAppId(const QDBusMessage& call, const QString& appId);
    void selectProfile(const QDBusMessage& call, const QString& name);
    void setApplicationRule(const QDBusMessage& call, const QString& appId, const QString& profile);
    void applyProfile(const QDBusMessage& call, const QByteArray& profile);
    void announce(const QVariantMap& changed);

    QDBusConnection bus_;
    ProfileControl* control_;
    MouseStatus status_;
    QString announcedProfile_;
    bool announcedAutomatic_ = true;
    bool registered_ = false;
};

}  // namespace tvq
