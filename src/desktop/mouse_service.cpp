#include "desktop/mouse_service.h"

#include <algorithm>

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QVariantMap>

#include "base/debug.h"
#include "desktop/bus_interface.h"
#include "program/program_settings.h"

namespace tvq {

MouseService::MouseService(QDBusConnection bus, ProfileControl* control, QObject* parent)
    : QDBusVirtualObject(parent), bus_(std::move(bus)), control_(control) {
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
    if (!bus_.registerVirtualObject(QString::fromLatin1(kObjectPath), this)) {
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

namespace {

constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

// The standard interface beside the program's own (kBusInterfaceXml).
constexpr const char* kPropertiesIntrospection = R"(
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="property_name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="Set">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="property_name" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
    </method>
    <method name="GetAll">
      <arg name="interface_name" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
    <signal name="PropertiesChanged">
      <arg name="interface_name" type="s"/>
      <arg name="changed_properties" type="a{sv}"/>
      <arg name="invalidated_properties" type="as"/>
    </signal>
  </interface>
)";

QString unknown(const QString& what, const QString& name) {
    return what + QStringLiteral(" \"") + name.left(64) + u'"';
}

}  // namespace

QString MouseService::introspect(const QString&) const {
    return QString::fromUtf8(kBusInterfaceXml) + QString::fromLatin1(kPropertiesIntrospection);
}

bool MouseService::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    if (message.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    if (message.interface() == QLatin1String(kPropertiesInterface)) {
        handleProperties(message);
        return true;
    }
    if (message.interface().isEmpty() || message.interface() == QLatin1String(kInterface)) {
        handleMethod(message);
        return true;
    }
    return false;  // the bus library's own (Peer, Introspectable)
}

void MouseService::answer(const QDBusMessage& call, const QVariantList& values) {
    if (!call.isReplyRequired()) {
        return;
    }
    bus_.send(call.createReply(values));
}

void MouseService::fail(const QDBusMessage& call, const QString& name, const QString& text) {
    bus_.send(call.createErrorReply(name, text));
}

QVariant MouseService::property(const QString& name) const {
    if (name == u"CurrentProfile") {
        return currentProfile();
    }
    if (name == u"AutomaticSwitching") {
        return automaticSwitching();
    }
    if (name == u"Connection") {
        return connection();
    }
    if (name == u"Battery") {
        return battery();
    }
    if (name == u"Charging") {
        return charging();
    }
    return {};
}

QVariantMap MouseService::properties() const {
    QVariantMap all;
    for (const char* name :
         {"CurrentProfile", "AutomaticSwitching", "Connection", "Battery", "Charging"}) {
        all.insert(QString::fromLatin1(name), property(QString::fromLatin1(name)));
    }
    return all;
}

void MouseService::handleProperties(const QDBusMessage& call) {
    const QVariantList args = call.arguments();
    const QString signature = call.signature();
    const QString member = call.member();
    if (!args.isEmpty() && args[0].toString() != QLatin1String(kInterface)) {
        fail(call, QDBusError::errorString(QDBusError::UnknownInterface),
             unknown(QStringLiteral("No interface"), args[0].toString()));
    } else if (member == u"Get" && signature == u"ss") {
        const QVariant value = property(args[1].toString());
        if (!value.isValid()) {
            fail(call, QDBusError::errorString(QDBusError::UnknownProperty),
                 unknown(QStringLiteral("No property"), args[1].toString()));
        } else {
            answer(call, {QVariant::fromValue(QDBusVariant(value))});
        }
    } else if (member == u"GetAll" && signature == u"s") {
        answer(call, {properties()});
    } else if (member == u"Set" && signature == u"ssv") {
        const QString name = args[1].toString();
        const QVariant value = args[2].value<QDBusVariant>().variant();
        if (name != u"AutomaticSwitching") {
            fail(call,
                 QDBusError::errorString(property(name).isValid() ? QDBusError::PropertyReadOnly
                                                                  : QDBusError::UnknownProperty),
                 unknown(QStringLiteral("No writable property"), name));
        } else if (value.metaType() != QMetaType::fromType<bool>()) {
            fail(call, QDBusError::errorString(QDBusError::InvalidArgs),
                 QStringLiteral("AutomaticSwitching takes a boolean (b)"));
        } else {
            setAutomaticSwitching(value.toBool());
            answer(call, {});
        }
    } else {
        fail(call, QDBusError::errorString(QDBusError::UnknownMethod),
             unknown(QStringLiteral("No method"), member + u'(' + signature + u')'));
    }
}

void MouseService::handleMethod(const QDBusMessage& call) {
    const QVariantList args = call.arguments();
    const QString signature = call.signature();
    const QString member = call.member();
    if (member == u"ListProfiles" && signature.isEmpty()) {
        answer(call, {control_ != nullptr ? control_->profileNames() : QStringList()});
    } else if (member == u"SelectProfile" && signature == u"s") {
        selectProfile(call, args[0].toString());
    } else if (member == u"ActiveApplicationChanged" && signature == u"s") {
        if (validAppId(call, args[0].toString())) {
            if (control_ != nullptr) {
                control_->activeApplicationChanged(args[0].toString());
            }
            answer(call, {});
        }
    } else if (member == u"SetApplicationRule" && signature == u"ss") {
        setApplicationRule(call, args[0].toString(), args[1].toString());
    } else if (member == u"ApplicationRules" && signature.isEmpty()) {
        answer(call, {QVariant::fromValue(control_ != nullptr ? control_->applicationRules()
                                                              : QMap<QString, QString>())});
    } else if (member == u"ApplyProfile" && signature == u"ay") {
        applyProfile(call, args[0].toByteArray());
    } else {
        fail(call, QDBusError::errorString(QDBusError::UnknownMethod),
             unknown(QStringLiteral("No method"), member + u'(' + signature + u')'));
    }
}

void MouseService::selectProfile(const QDBusMessage& call, const QString& name) {
    if (control_ == nullptr || !control_->selectProfile(name)) {
        fail(call, QString::fromLatin1(kNoSuchProfile),
             QStringLiteral("No profile is named \"%1\"").arg(name.left(64)));
        return;
    }
    answer(call, {});
}

bool MouseService::validAppId(const QDBusMessage& call, const QString& appId) {
    const qsizetype bytes = appId.toUtf8().size();
    const bool control = std::any_of(appId.begin(), appId.end(),
                                     [](QChar c) { return c.unicode() < 0x20 || c == u'\x7F'; });
    if (bytes == 0 || bytes > static_cast<qsizetype>(ApplicationRules::kMaxAppIdBytes) || control) {
        fail(call, QDBusError::errorString(QDBusError::InvalidArgs),
             QStringLiteral("An application id has 1 to %1 bytes and no control characters")
                 .arg(ApplicationRules::kMaxAppIdBytes));
        return false;
    }
    return true;
}

void MouseService::setApplicationRule(const QDBusMessage& call, const QString& appId,
                                      const QString& profile) {
    if (!validAppId(call, appId)) {
        return;
    }
    if (control_ != nullptr && !profile.isEmpty()) {
        const QMap<QString, QString> rules = control_->applicationRules();
        const bool known = std::any_of(rules.keyBegin(), rules.keyEnd(), [&](const QString& id) {
            return id.compare(appId, Qt::CaseInsensitive) == 0;
        });
        if (!known && static_cast<std::size_t>(rules.size()) >= ApplicationRules::kMaxRules) {
            fail(call, QDBusError::errorString(QDBusError::LimitsExceeded),
                 QStringLiteral("At most %1 applications can have rules")
                     .arg(ApplicationRules::kMaxRules));
            return;
        }
    }
    if (control_ == nullptr || !control_->setApplicationRule(appId, profile)) {
        fail(call, QString::fromLatin1(kNoSuchProfile),
             QStringLiteral("No profile is named \"%1\"").arg(profile.left(64)));
        return;
    }
    answer(call, {});
}

void MouseService::applyProfile(const QDBusMessage& call, const QByteArray& profile) {
    if (control_ == nullptr) {
        fail(call, QDBusError::errorString(QDBusError::NotSupported),
             QStringLiteral("This program has no profiles"));
        return;
    }
    // Answered when the apply has ended.
    const QString refused = control_->applyProfileFile(
        profile, [bus = bus_, call](const ApplyResult& r, int valuesRepaired) {
            QDBusConnection(bus).send(
                call.createReply({r.ran, static_cast<uint>(r.frames), static_cast<uint>(r.taken),
                                  static_cast<uint>(valuesRepaired)}));
        });
    if (!refused.isEmpty()) {
        fail(call, QString::fromLatin1(kNotAProfile), refused);
    }
}

}  // namespace tvq
