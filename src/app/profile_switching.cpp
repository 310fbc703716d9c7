#include "app/profile_switching.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

#include "base/debug.h"
#include "base/text.h"
#include "desktop/bus_calls.h"
#include "page/profile_check.h"
#include "program/autostart.h"

namespace tvq {
namespace {

QString nameOf(const Profile& p) {
    return QString::fromStdU16String(std::u16string(fieldText(p.name)));
}

// GNOME Shell's extension states: 1 is enabled (ACTIVE).
constexpr int kExtensionEnabled = 1;

}  // namespace

ProfileSwitching::ProfileSwitching(SettingsPage& page, SettingsFile& settings)
    : page_(page), settings_(settings) {
    page_.setProfileChanged([this] { emit currentProfileChanged(); });
    ProfileFollower& follower = page_.follower();
    follower.setRules(settings_.settings().applications);
    // Our own window, as the desktops name it: its desktop id (Wayland), its
    // X11 class and its program name.
    follower.setOwnApplications({kAppId, QCoreApplication::applicationName().toStdString(),
                                 QCoreApplication::applicationName().toLower().toStdString(),
                                 "tvq-config"});
    rulesSaved_.setSingleShot(true);
    rulesSaved_.setInterval(kRulesSaveMs);
    connect(&rulesSaved_, &QTimer::timeout, this, [this] {
        if (rulesWaiting_) {
            saveRules();
        }
    });
    follower.setRulesChanged([this](const ApplicationRules&) {
        if (rulesSaved_.isActive()) {
            rulesWaiting_ = true;
        } else {
            saveRules();
        }
        emit rulesChanged();
    });
}

ProfileSwitching::~ProfileSwitching() {
    page_.setProfileChanged(nullptr);
    blockSignals(true);  // nobody is left to tell
    if (rulesWaiting_) {
        saveRules();
    }
}

void ProfileSwitching::saveRules() {
    rulesWaiting_ = false;
    ProgramSettings next = settings_.settings();
    next.applications = page_.follower().rules();
    if (!settings_.save(next)) {
        emit rulesNotSaved();
    }
    rulesSaved_.start();
}

void ProfileSwitching::start(FocusSource source, const QDBusConnection& bus,
                             const std::string& programFolder) {
    source_ = source;
    switch (source) {
        case FocusSource::kX11:
        case FocusSource::kXWaylandOnly:
            followX11();
            break;
        case FocusSource::kKWin:
            loadKWinScript(bus, programFolder);
            break;
        case FocusSource::kGnomeShell:
            askGnomeExtension(bus);
            break;
        case FocusSource::kNone:
            debug::write("the application in focus cannot be followed on this desktop\n");
            break;
    }
}

void ProfileSwitching::followX11() {
    if (!x11_.open()) {
        debug::write("no X server to follow the application in focus on\n");
        return;
    }
    x11Readable_ = std::make_unique<QSocketNotifier>(x11_.fd(), QSocketNotifier::Read);
    connect(x11Readable_.get(), &QSocketNotifier::activated, this, [this] {
        if (x11_.dispatch()) {
            page_.follower().activeApplicationChanged(x11_.activeClass());
        } else if (x11_.fd() < 0) {
            x11Readable_->setEnabled(false);  // the X server went away
        }
    });
    page_.follower().activeApplicationChanged(x11_.activeClass());
}

void ProfileSwitching::loadKWinScript(const QDBusConnection& bus,
                                      const std::string& programFolder) {
    // Loaded again at every start: a copy of an earlier run goes first.
    const QString kwin = QStringLiteral("org.kde.KWin");
    const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
    const QString path = QStringLiteral("/Scripting");
    const QString plugin = QString::fromLatin1(kKWinScript);
    QDBusMessage unload =
        QDBusMessage::createMethodCall(kwin, path, scripting, QStringLiteral("unloadScript"));
    unload << plugin;
    bus.asyncCall(unload, kDesktopCallTimeoutMs);
    QDBusMessage load =
        QDBusMessage::createMethodCall(kwin, path, scripting, QStringLiteral("loadScript"));
    load << QString::fromStdString(programFolder + "res/kwin/focus.js") << plugin;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(load, kDesktopCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [bus, kwin, path, scripting](QDBusPendingCallWatcher* w) {
                const QDBusPendingReply<int> reply = *w;
                w->deleteLater();
                if (reply.isError()) {
                    debug::write("KWin did not load the focus script: " +
                                 reply.error().message().toStdString() + "\n");
                    return;
                }
                QDBusConnection(bus).asyncCall(
                    QDBusMessage::createMethodCall(kwin, path, scripting, QStringLiteral("start")),
                    kDesktopCallTimeoutMs);
            });
}

void ProfileSwitching::askGnomeExtension(const QDBusConnection& bus) {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("/org/gnome/Shell/Extensions"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    ask << QString::fromLatin1(kGnomeExtension);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask, kDesktopCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QVariantMap> reply = *w;
        w->deleteLater();
        extensionEnabled_ =
            !reply.isError() &&
            reply.value().value(QStringLiteral("state")).toInt() == kExtensionEnabled;
        debug::write(std::string("GNOME Shell extension ") +
                     (extensionEnabled_ ? "enabled" : "not enabled") + "\n");
    });
}

QStringList ProfileSwitching::profileNames() const {
    QStringList names;
    for (const auto& p : page_.session().profiles().profiles()) {
        names << nameOf(*p);
    }
    return names;
}

QString ProfileSwitching::currentProfile() const {
    const Profile* current = page_.session().profiles().current();
    return current != nullptr ? nameOf(*current) : QString();
}

bool ProfileSwitching::selectProfile(const QString& name) {
    return page_.selectProfileNamed(name.toStdU16String());
}

void ProfileSwitching::activeApplicationChanged(const QString& app) {
    page_.follower().activeApplicationChanged(app.toStdString());
}

bool ProfileSwitching::setApplicationRule(const QString& app, const QString& profile) {
    ProfileFollower& follower = page_.follower();
    if (!profile.isEmpty() && !follower.profileExists(profile.toStdString())) {
        return false;
    }
    return follower.setRule(app.toStdString(), profile.toStdString());
}

QMap<QString, QString> ProfileSwitching::applicationRules() const {
    QMap<QString, QString> rules;
    for (const AppRule& r : page_.follower().rules().rules) {
        rules.insert(QString::fromStdString(r.app), QString::fromStdString(r.profile));
    }
    return rules;
}

bool ProfileSwitching::automaticSwitching() const {
    return page_.follower().rules().automatic;
}

void ProfileSwitching::setAutomaticSwitching(bool on) {
    page_.follower().setAutomatic(on);
}

QString ProfileSwitching::applyProfileFile(const QByteArray& bytes,
                                           std::function<void(const ApplyResult&, int)> done) {
    std::string error;
    std::unique_ptr<Profile> profile =
        parseProfileFile(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size())),
                         &error);
    if (!profile) {
        return QString::fromStdString(error);
    }
    // What the page could not have made never reaches the mouse; the name
    // is not sent.
    const ProfileRepairs repairs = repairImportedProfile(*profile);
    const int repaired = repairs.sentValuesRepaired();
    page_.session().link().requestApply(
        std::move(profile),
        [done = std::move(done), repaired](const ApplyResult& r) { done(r, repaired); });
    return {};
}

}  // namespace tvq
