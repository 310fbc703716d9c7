#include "dialogs/profile_name_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/text.h"
#include "dialogs/message_dialog.h"
#include "profiles/profile_store.h"
#include "profiles/record_layout.h"
#include "toolkit/language.h"
#include "toolkit/text_limit.h"

namespace tvq {

ProfileNameDialog::ProfileNameDialog(const LanguageManager* language, QString titleKey,
                                     const ProfileStore& profiles, QWidget* owner)
    : DialogBase("ProfileNameDialog", "MS/MS_1/profilename.xml", language, owner),
      language_(language),
      titleKey_(std::move(titleKey)),
      profiles_(profiles) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void ProfileNameDialog::setup() {
    const QString title = language_ != nullptr ? language_->text(titleKey_) : QString();
    if (auto* label = control<QLabel>("title_string")) {
        label->setText(title);
    }
    setWindowTitle(title);
    if (auto* edit = control<QLineEdit>("edit_name")) {
        // A longer name never reaches the record, nor half a character.
        limitToWholeCharacters(edit, static_cast<int>(layout::profile::kNameMaxChars));
        edit->setAccessibleName(title);
        edit->setFocus();
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    controls()->onClick("btn_ok", [this] { onOk(); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    controls()->onClick("btn_exit", [this] { finish(0); });
}

void ProfileNameDialog::onOk() {
    const auto* edit = control<QLineEdit>("edit_name");
    const QString name = edit != nullptr ? edit->text() : QString();
    if (name.isEmpty()) {
        MessageDialog::ask(this, language_, "warn_name_1_text");
        return;
    }
    if (profiles_.profileNameExists(name.toStdU16String())) {
        MessageDialog::ask(this, language_, "warn_name_2_text");
        return;
    }
    accepted_ = name;
    finish(1);
}

}  // namespace tvq
