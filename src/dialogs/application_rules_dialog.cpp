#include "dialogs/application_rules_dialog.h"

#include <sys/stat.h>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <algorithm>

#include "base/text.h"
#include "platform/posix_file_system.h"
#include "program/desktop_entries.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

constexpr std::uint64_t kMaxEntryBytes = 64 * 1024;
constexpr int kIdRole = Qt::UserRole;

bool sameId(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// An icon file is read only when it is a regular file of a sensible size: a
// pipe would block the window for ever, a device would never end.
constexpr qint64 kMaxIconFileBytes = 1024 * 1024;

QIcon iconOf(const QString& icon) {
    if (!QDir::isAbsolutePath(icon)) {
        return QIcon::fromTheme(icon);
    }
    struct stat st {};
    const QByteArray path = QFile::encodeName(icon);
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > kMaxIconFileBytes) {
        return {};
    }
    return QIcon(icon);
}

QIcon blankIcon(QSize size) {
    QPixmap blank(size.isValid() ? size : QSize(16, 16));
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

}  // namespace

ApplicationRulesDialog::ApplicationRulesDialog(const LanguageManager* language, QString profile,
                                               QString focusNote, Access access, QWidget* owner)
    : DialogBase("ApplicationRulesDialog", "app_rules.xml", language, owner),
      profile_(std::move(profile)),
      focusNote_(std::move(focusNote)),
      access_(std::move(access)) {}

void ApplicationRulesDialog::setup() {
    const QString title = language() != nullptr
                              ? language()->text(QStringLiteral("apps_title_text")).arg(profile_)
                              : profile_;
    setWindowTitle(title);
    if (auto* note = control<QLabel>("focus_note")) {
        note->setText(focusNote_);
    }
    auto* list = control<QListWidget>("list_apps");
    if (auto* label = control<QLabel>("apps_label"); label != nullptr && list != nullptr) {
        label->setBuddy(list);
        list->setAccessibleName(label->text().remove(QLatin1Char('&')));
    }
    fillInstalled();
    if (auto* combo = control<QComboBox>("combo_app")) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        // As wide as the dialog gives it, whatever the longest name: the
        // list under it is as wide as the box and elides what is longer.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(kChoiceWidthInChars);
        combo->view()->setTextElideMode(Qt::ElideMiddle);
        combo->setAccessibleName(language() != nullptr
                                     ? language()->text(QStringLiteral("apps_choose_text"))
                                     : QString());
        combo->lineEdit()->setPlaceholderText(combo->accessibleName());
        combo->lineEdit()->setMaxLength(static_cast<int>(ApplicationRules::kMaxAppIdBytes));
        for (const Installed& app : installed_) {
            combo->addItem(iconOf(app.icon), app.name + QStringLiteral(" (") + app.id + u')',
                           app.id);
        }
        combo->setCurrentIndex(-1);
        // Enter in the field adds, as the button does, and only that: no
        // button of the dialog takes Enter as well.
        // (The combo box hands a Return its field ignored back to the
        // field, which says it again: one Return adds once.)
        connect(combo->lineEdit(), &QLineEdit::returnPressed, this, [this] {
            if (!returnHandled_) {
                returnHandled_ = true;
                QTimer::singleShot(0, this, [this] { returnHandled_ = false; });
                add();
            }
        });
        for (QPushButton* button : findChildren<QPushButton*>()) {
            button->setAutoDefault(false);
        }
    }
    controls()->onToggled("check_automatic", [this](bool on) { access_.setAutomatic(on); });
    controls()->onClick("btn_add", [this] { add(); });
    controls()->onClick("btn_remove", [this] { removeSelected(); });
    controls()->onClick("btn_remove_stale", [this] { removeStale(); });
    controls()->onClick("btn_ok", [this] { finish(1); });
    if (list != nullptr) {
        connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
            if (QWidget* remove = control("btn_remove")) {
                remove->setEnabled(row >= 0);
            }
        });
        list->setFocus();
    }
    refresh();
}

void ApplicationRulesDialog::fillInstalled() {
    PosixFileSystem files;
    QSet<QString> seen;
    for (const std::string& folder : applicationFolders(processEnvironment())) {
        const QDir dir(QString::fromStdString(folder));
        for (const QString& file :
             dir.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable)) {
            if (seen.contains(file)) {
                continue;
            }
            // Only a regular file, opened without waiting (a pipe) and read
            // up to a bound (a link to a device never ends).
            const auto bytes = files.readFileStart(
                QFile::encodeName(dir.filePath(file)).toStdString(), kMaxEntryBytes + 1);
            if (!bytes || bytes->size() > kMaxEntryBytes) {
                continue;
            }
            seen.insert(file);  // the first folder wins
            const std::string text(bytes->begin(), bytes->end());
            if (auto app = parseDesktopEntry(file.toStdString(), text)) {
                installed_.push_back({QString::fromStdString(app->id),
                                      QString::fromStdString(app->name),
                                      QString::fromStdString(app->icon)});
            }
        }
    }
    std::sort(installed_.begin(), installed_.end(), [](const Installed& a, const Installed& b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    installedById_.reserve(static_cast<qsizetype>(installed_.size()));
    for (std::size_t i = 0; i < installed_.size(); ++i) {
        installedById_.insert(installed_[i].id.toCaseFolded(), i);
    }
}

const ApplicationRulesDialog::Installed* ApplicationRulesDialog::installed(
    const QString& id) const {
    const auto found = installedById_.constFind(id.toCaseFolded());
    return found != installedById_.cend() ? &installed_[*found] : nullptr;
}

QString ApplicationRulesDialog::describe(const QString& id) const {
    const Installed* app = installed(id);
    return app != nullptr ? app->name + QStringLiteral(" (") + id + u')' : id;
}

void ApplicationRulesDialog::refresh() {
    const ApplicationRules rules = access_.rules();
    if (auto* check = control<QCheckBox>("check_automatic")) {
        const QSignalBlocker quiet(check);
        check->setChecked(rules.automatic);
    }
    const QStringList profiles = access_.profiles();
    QStringList stale;
    if (auto* list = control<QListWidget>("list_apps")) {
        list->clear();
        for (const AppRule& r : rules.rules) {
            const QString app = QString::fromStdString(r.app);
            const QString profile = QString::fromStdString(r.profile);
            if (sameId(profile, profile_)) {
                auto* item = new QListWidgetItem(describe(app), list);
                item->setData(kIdRole, app);
                const Installed* i = installed(app);
                const QIcon icon = i != nullptr ? iconOf(i->icon) : QIcon();
                // A typed id, or an icon that cannot be had, keeps the room
                // of one, so that the names line up.
                item->setIcon(icon.isNull() ? blankIcon(list->iconSize()) : icon);
            } else if (!std::any_of(profiles.begin(), profiles.end(),
                                    [&](const QString& p) { return sameId(p, profile); })) {
                stale << QStringLiteral("%1 (“%2”)").arg(app, profile);
            }
        }
        if (QWidget* remove = control("btn_remove")) {
            remove->setEnabled(list->currentRow() >= 0);
        }
    }
    if (auto* note = control<QLabel>("stale_note")) {
        note->setText(
            language() != nullptr
                ? language()->text(QStringLiteral("apps_stale_text")).arg(stale.join(", "))
                : stale.join(", "));
        note->setVisible(!stale.isEmpty());
    }
    if (QWidget* button = control("btn_remove_stale")) {
        button->setVisible(!stale.isEmpty());
    }
}

void ApplicationRulesDialog::add() {
    auto* combo = control<QComboBox>("combo_app");
    if (combo == nullptr) {
        return;
    }
    const QString typed = combo->currentText().trimmed();
    QString id = typed;
    const int match = combo->findText(typed, Qt::MatchFixedString);
    if (match >= 0) {
        id = combo->itemData(match, kIdRole).toString();
    }
    auto* problem = control<QLabel>("add_problem");
    if (id.isEmpty() || !access_.setRule(id, profile_)) {
        if (problem != nullptr && language() != nullptr) {
            problem->setText(language()->text(QStringLiteral("apps_bad_id_text")));
            problem->setVisible(true);
        }
        return;
    }
    if (problem != nullptr) {
        problem->setVisible(false);
    }
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    refresh();
}

void ApplicationRulesDialog::removeSelected() {
    auto* list = control<QListWidget>("list_apps");
    if (list == nullptr || list->currentItem() == nullptr) {
        return;
    }
    const int row = list->currentRow();
    access_.setRule(list->currentItem()->data(kIdRole).toString(), QString());
    refresh();
    list->setCurrentRow(std::min(row, list->count() - 1));
}

void ApplicationRulesDialog::removeStale() {
    const QStringList profiles = access_.profiles();
    for (const AppRule& r : access_.rules().rules) {
        const QString profile = QString::fromStdString(r.profile);
        if (!std::any_of(profiles.begin(), profiles.end(),
                         [&](const QString& p) { return sameId(p, profile); })) {
            access_.setRule(QString::fromStdString(r.app), QString());
        }
    }
    refresh();
}

}  // namespace tvq
