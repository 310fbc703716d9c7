#include "app/desktop_presence.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/profile_switching.h"
#include "desktop/background_portal.h"
#include "desktop/battery_notifier.h"
#include "desktop/mouse_service.h"
#include "desktop/tray_icon.h"
#include "dialogs/application_rules_dialog.h"
#include "dialogs/battery_alerts_dialog.h"
#include "dialogs/message_dialog.h"
#include "page/settings_page.h"
#include "platform/program_folder.h"
#include "program/focus_source.h"
#include "toolkit/language.h"

namespace tvq {

DesktopPresence::DesktopPresence(QWidget& window, const LanguageManager& language,
                                 DesktopSession& mouse, SettingsPage& page)
    : window_(window),
      language_(language),
      mouse_(mouse),
      page_(page),
      alerts_(mouse.settings().settings().battery),
      switching_(std::make_unique<ProfileSwitching>(page, mouse.settings())) {
    status_ = mouse_.session().link().state().status();
    mouse_.session().link().state().addObserver(this);
    const auto announce = [this] {
        if (service_) {
            service_->profilesChanged();
        }
    };
    connect(switching_.get(), &ProfileSwitching::currentProfileChanged, this, [this, announce] {
        announce();
        updateTray();  // the tooltip names the profile
    });
    connect(switching_.get(), &ProfileSwitching::rulesChanged, this, announce);
    connect(switching_.get(), &ProfileSwitching::rulesNotSaved, this,
            [this] { tellNotSaved("rules_not_saved_text"); });
    page_.panels().sleepPower.setWarningLevels(alerts_);
    page_.keepSectionsClosed(mouse_.settings().settings().closedSections,
                             [this](const std::vector<std::string>& closed) {
                                 ProgramSettings next = mouse_.settings().settings();
                                 next.closedSections = closed;
                                 if (!mouse_.settings().save(next)) {
                                     tellNotSaved("choice_not_saved_text");
                                 }
                             });
    // A switch waits while the user is in a dialog of ours.
    page_.follower().setBusy([] { return QApplication::activeModalWidget() != nullptr; });
}

DesktopPresence::~DesktopPresence() {
    mouse_.session().link().state().removeObserver(this);
}

void DesktopPresence::joinSessionBus() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    notifier_ = std::make_unique<BatteryNotifier>(language_, bus, alerts_);
    notifier_->update(status_);
    service_ = std::make_unique<MouseService>(bus, switching_.get());
    service_->setStatus(status_);
    service_->start();
    switching_->start(chooseFocusSource(processEnvironment()), bus, programFolder());
}

void DesktopPresence::tellSettingsProblem() {
    const SettingsFile& file = mouse_.settings();
    if (mouse_.settingsLoaded() == SettingsFile::Loaded::kKeptAside) {
        MessageDialog::tell(&window_, &language_, QStringLiteral("settings_damaged_text"),
                            {QString::fromStdString(file.keptAs())});
    } else if (mouse_.settingsLoaded() == SettingsFile::Loaded::kUnreadable) {
        MessageDialog::tell(&window_, &language_, QStringLiteral("settings_unreadable_text"),
                            {QString::fromStdString(file.path())});
    }
}

void DesktopPresence::tellNotSaved(const char* textKey) {
    if (toldNotSaved_) {
        return;  // once: every later change would say the same
    }
    toldNotSaved_ = true;
    // Told once the event loop is back: the change may have come over the
    // session bus, whose caller waits for its answer until this returns.
    QTimer::singleShot(0, this, [this, textKey] {
        MessageDialog::tell(&window_, &language_, QString::fromLatin1(textKey),
                            {QString::fromStdString(mouse_.settings().path())});
    });
}

void DesktopPresence::showIn(QSystemTrayIcon* tray) {
    tray_ = tray;
    updateTray();
}

void DesktopPresence::mouseStateChanged(const MouseStatus& status) {
    status_ = status;
    if (notifier_) {
        notifier_->update(status);
    }
    if (service_) {
        service_->setStatus(status);
    }
    updateTray();
}

void DesktopPresence::updateTray() {
    if (tray_ == nullptr) {
        return;
    }
    tray_->setIcon(trayIcon(status_, alerts_));
    QString tip = window_.windowTitle() + QLatin1Char('\n') +
                  QString::fromStdString(statusText(status_, language_));
    if (const QString profile = switching_->currentProfile(); !profile.isEmpty()) {
        tip +=
            QLatin1Char('\n') + language_.text(QStringLiteral("status_profile_text")).arg(profile);
    }
    tray_->setToolTip(tip);
}

void DesktopPresence::addProfilesTo(QMenu& menu) {
    QAction* first = menu.actions().value(0);
    auto* group = new QActionGroup(&menu);
    const QString current = switching_->currentProfile();
    for (const QString& name : switching_->profileNames()) {
        auto* item =
            new QAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")), &menu);
        item->setCheckable(true);
        item->setChecked(name == current);
        item->setObjectName(QStringLiteral("profile"));
        group->addAction(item);
        menu.insertAction(first, item);
        connect(item, &QAction::triggered, this, [this, name] { switching_->selectProfile(name); });
    }
    if (first != nullptr) {
        menu.insertSeparator(first);
    }
}

void DesktopPresence::openBatteryAlerts() {
    BatteryAlertsDialog dialog(&language_, alerts_, &window_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1 || dialog.chosen() == alerts_) {
        return;
    }
    alerts_ = dialog.chosen();
    page_.panels().sleepPower.setWarningLevels(alerts_);
    if (notifier_) {
        notifier_->setSettings(alerts_);
    }
    updateTray();
    SettingsFile& file = mouse_.settings();
    ProgramSettings next = file.settings();
    next.battery = alerts_;
    if (!file.save(next)) {
        toldNotSaved_ = false;  // a choice made just now: always said
        tellNotSaved("settings_not_saved_text");
    }
}

void DesktopPresence::tellClosedOnce(bool tray) {
    if (!tray && !backgroundRequested_) {
        backgroundRequested_ = true;  // once a run
        requestBackground(QDBusConnection::sessionBus(),
                          language_.text(QStringLiteral("background_reason_text")));
    }
    SettingsFile& file = mouse_.settings();
    if (file.settings().closedToTrayTold) {
        return;
    }
    ProgramSettings next = file.settings();
    next.closedToTrayTold = true;
    file.save(next);  // not kept: said again at the next start, nothing worse
    MessageDialog::tell(
        nullptr, &language_,
        tray ? QStringLiteral("closed_to_tray_text") : QStringLiteral("closed_without_tray_text"));
}

bool DesktopPresence::automaticSwitching() const {
    return switching_->automaticSwitching();
}

void DesktopPresence::setAutomaticSwitching(bool on) {
    switching_->setAutomaticSwitching(on);
    if (service_) {
        service_->profilesChanged();  // its property is announced
    }
}

void DesktopPresence::openApplicationRules() {
    const FocusSource source = switching_->source();
    const char* noteKey = source == FocusSource::kGnomeShell && switching_->extensionEnabled()
                              ? "apps_focus_gnome_on_text"
                              : focusSourceTextKey(source);
    ProfileSwitching& s = *switching_;
    ApplicationRulesDialog dialog(
        &language_, s.currentProfile(), language_.text(QString::fromLatin1(noteKey)),
        {
            .rules = [this] { return page_.follower().rules(); },
            .setRule = [&s](const QString& app,
                            const QString& profile) { return s.setApplicationRule(app, profile); },
            .setAutomatic = [&s](bool on) { s.setAutomaticSwitching(on); },
            .profiles = [&s] { return s.profileNames(); },
        },
        &window_);
    dialog.create();
    dialog.placeCentred();
    dialog.runModal();
}

}  // namespace tvq
