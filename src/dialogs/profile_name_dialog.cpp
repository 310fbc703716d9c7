#include "dialogs/profile_name_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/text.h"
#include "profiles/profile_store.h"
#include "profiles/record_layout.h"
#include "toolkit/language.h"
#include "toolkit/text_limit.h"

namespace tvq {

ProfileNameDialog::ProfileNameDialog(const LanguageManager* language, QString titleKey,
                                     QString prefill, int renaming, const ProfileStore& profiles,
                                     QWidget* owner)
    : DialogBase("ProfileNameDialog", "MS/MS_1/profilename.xml", language, owner),
      language_(language),
      titleKey_(std::move(titleKey)),
      prefill_(std::move(prefill)),
      renaming_(renaming),
      profiles_(profiles) {}

void ProfileNameDialog::setup() {
    // A new profile's title names nothing; a rename's names the profile.
    QString title = language_ != nullptr ? language_->text(titleKey_) : QString();
    if (title.contains(QLatin1String("%1"))) {
        title = title.arg(prefill_);
    }
    setWindowTitle(title);
    if (auto* edit = control<QLineEdit>("edit_name")) {
        // A longer name never reaches the record, nor half a character.
        limitToWholeCharacters(edit, static_cast<int>(layout::profile::kNameMaxChars));
        edit->setText(prefill_);
        edit->selectAll();
        edit->setFocus();
        if (auto* label = control<QLabel>("name_label")) {
            label->setBuddy(edit);
            edit->setAccessibleName(label->text().remove(QLatin1Char('&')));
        }
        connect(edit, &QLineEdit::textChanged, this, [this] { check(); });
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    controls()->onClick("btn_ok", [this] { onOk(); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    check();
}

void ProfileNameDialog::check() {
    const auto* edit = control<QLineEdit>("edit_name");
    const QString name = edit != nullptr ? edit->text() : QString();
    const auto problem = profiles_.nameProblem(name.toStdU16String(), renaming_);
    QString why;
    if (language_ != nullptr && problem == ProfileStore::NameProblem::kEmpty) {
        why = language_->text(QStringLiteral("warn_name_1_text"));
    } else if (language_ != nullptr && problem == ProfileStore::NameProblem::kTaken) {
        why = language_->text(QStringLiteral("warn_name_2_text"));
    }
    if (auto* line = control<QLabel>("name_problem")) {
        line->setText(why);
        line->setVisible(!why.isEmpty());
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setEnabled(problem == ProfileStore::NameProblem::kNone);
    }
    if (auto* field = control<QLineEdit>("edit_name")) {
        field->setAccessibleDescription(why);
    }
}

void ProfileNameDialog::onOk() {
    const auto* edit = control<QLineEdit>("edit_name");
    const QString name = edit != nullptr ? edit->text() : QString();
    if (profiles_.nameProblem(name.toStdU16String(), renaming_) !=
        ProfileStore::NameProblem::kNone) {
        check();  // Enter with a name that cannot be used: the line says why
        return;
    }
    accepted_ = name;
    finish(1);
}

}  // namespace tvq
