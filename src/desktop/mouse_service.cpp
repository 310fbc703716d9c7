#include "desktop/mouse_service.h"

#include <algorithm>

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QVariantMap>

#include "base/debug.h"
#include "base/program_settings.h"

namespace tvq {

MouseService::MouseService(QDBusConnection bus, ProfileControl* control, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), control_(control) {
    qDBusRegisterMetaType<QMap<QString, QString>>();
    announcedProfile_ = currentProfile();
    announcedAutomatic_ = automaticSwitching();
}

MouseService::~MouseService() {
    if (registered_) {
        bus_.unregisterObject(QString::fromLatin1(kObjectPath));
        bus_.unregisterService(QString::fromLatin1(kServiceName));
    }
}

bool MouseService::start() {
    if (!bus_.isConnected()) {
        debug::write("no session bus: the program is not offered on it\n");
        return false;
    }
    if (!bus_.registerObject(
            QString::fromLatin1(kObjectPath), this,
            QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSlots)) {
        debug::write("the program's object could not be put on the session bus\n");
        return false;
    }
    registered_ = true;
    if (!bus_.registerService(QString::fromLatin1(kServiceName))) {
        debug::write(std::string("the name ") + kServiceName + " is taken on the session bus\n");
        return false;
    }
    return true;
}

QString MouseService::currentProfile() const {
    return control_ != nullptr ? control_->currentProfile() : QString();
}

bool MouseService::automaticSwitching() const {
    return control_ != nullptr && control_->automaticSwitching();
}

void MouseService::setAutomaticSwitching(bool on) {
    if (control_ != nullptr) {
        control_->setAutomaticSwitching(on);
        profilesChanged();
    }
}

QString MouseService::connection() const {
    switch (status_.link) {
        case MouseStatus::Link::kCable:
            return QStringLiteral("cable");
        case MouseStatus::Link::kReceiver:
            return QStringLiteral("receiver");
        case MouseStatus::Link::kBluetooth:
            return QStringLiteral("bluetooth");
        case MouseStatus::Link::kNone:
            break;
    }
    return {};
}

void MouseService::setStatus(const MouseStatus& status) {
    const QString oldConnection = connection();
    const int oldBattery = battery();
    const bool oldCharging = charging();
    status_ = status;
    QVariantMap changed;
    if (connection() != oldConnection) {
        changed.insert(QStringLiteral("Connection"), connection());
    }
    if (battery() != oldBattery) {
        changed.insert(QStringLiteral("Battery"), battery());
    }
    if (charging() != oldCharging) {
        changed.insert(QStringLiteral("Charging"), charging());
    }
    announce(changed);
}

void MouseService::profilesChanged() {
    QVariantMap changed;
    if (currentProfile() != announcedProfile_) {
        announcedProfile_ = currentProfile();
        changed.insert(QStringLiteral("CurrentProfile"), announcedProfile_);
    }
    if (automaticSwitching() != announcedAutomatic_) {
        announcedAutomatic_ = automaticSwitching();
        changed.insert(QStringLiteral("AutomaticSwitching"), announcedAutomatic_);
    }
    announce(changed);
}

void MouseService::announce(const QVariantMap& changed) {
    if (!registered_ || changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kInterface) << changed << QStringList();
    bus_.send(signal);
}

QStringList MouseService::ListProfiles() {
    return control_ != nullptr ? control_->profileNames() : QStringList();
}

void MouseService::SelectProfile(const QString& name) {
    if (control_ == nullptr || !control_->selectProfile(name)) {
        sendErrorReply(QString::fromLatin1(kNoSuchProfile),
                       QStringLiteral("No profile is named \"%1\"").arg(name.left(64)));
    }
}

bool MouseService::validAppId(const QString& appId) {
    const qsizetype bytes = appId.toUtf8().size();
    const bool control = std::any_of(appId.begin(), appId.end(),
                                     [](QChar c) { return c.unicode() < 0x20 || c == u'\x7F'; });
    if (bytes == 0 || bytes > static_cast<qsizetype>(ApplicationRules::kMaxAppIdBytes) || control) {
        sendErrorReply(QDBusError::InvalidArgs,
                       QStringLiteral("An application id has 1 to %1 bytes and no control "
                                      "characters")
                           .arg(ApplicationRules::kMaxAppIdBytes));
        return false;
    }
    return true;
}

void MouseService::ActiveApplicationChanged(const QString& appId) {
    if (validAppId(appId) && control_ != nullptr) {
        control_->activeApplicationChanged(appId);
    }
}

void MouseService::SetApplicationRule(const QString& appId, const QString& profile) {
    if (!validAppId(appId)) {
        return;
    }
    if (control_ != nullptr && !profile.isEmpty()) {
        const QMap<QString, QString> rules = control_->applicationRules();
        const bool known = std::any_of(rules.keyBegin(), rules.keyEnd(), [&](const QString& id) {
            return id.compare(appId, Qt::CaseInsensitive) == 0;
        });
        if (!known && static_cast<std::size_t>(rules.size()) >= ApplicationRules::kMaxRules) {
            sendErrorReply(QDBusError::LimitsExceeded,
                           QStringLiteral("At most %1 applications can have rules")
                               .arg(ApplicationRules::kMaxRules));
            return;
        }
    }
    if (control_ == nullptr || !control_->setApplicationRule(appId, profile)) {
        sendErrorReply(QString::fromLatin1(kNoSuchProfile),
                       QStringLiteral("No profile is named \"%1\"").arg(profile.left(64)));
    }
}

bool MouseService::ApplyProfile(const QByteArray& profile, uint& frames, uint& taken,
                                uint& repaired) {
    frames = taken = repaired = 0;
    if (control_ == nullptr) {
        sendErrorReply(QDBusError::NotSupported, QStringLiteral("This program has no profiles"));
        return false;
    }
    setDelayedReply(true);
    const QDBusMessage call = message();
    const QString refused = control_->applyProfileFile(
        profile, [bus = bus_, call](const ApplyResult& r, int valuesRepaired) {
            QDBusConnection(bus).send(
                call.createReply({r.ran, static_cast<uint>(r.frames), static_cast<uint>(r.taken),
                                  static_cast<uint>(valuesRepaired)}));
        });
    if (!refused.isEmpty()) {
        bus_.send(call.createErrorReply(QString::fromLatin1(kNotAProfile), refused));
    }
    return false;
}

QMap<QString, QString> MouseService::ApplicationRules() {
    return control_ != nullptr ? control_->applicationRules() : QMap<QString, QString>();
}

}  // namespace tvq
