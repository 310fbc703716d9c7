#include "dialogs/message_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "toolkit/language.h"

namespace tvq {

MessageDialog::MessageDialog(const LanguageManager* language, QString titleKey, QString messageKey,
                             QWidget* owner, QStringList arguments)
    : DialogBase("MessageDialog", "msg.xml", language, owner),
      language_(language),
      titleKey_(std::move(titleKey)),
      messageKey_(std::move(messageKey)),
      arguments_(std::move(arguments)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

int MessageDialog::ask(QWidget* owner, const LanguageManager* language, const QString& messageKey,
                       const QStringList& arguments) {
    MessageDialog box(language, "warning_title_text", messageKey, owner, arguments);
    box.create();
    box.placeCentred();
    return box.runModal();
}

int MessageDialog::ask(QWidget* owner, const LanguageManager* language, std::string_view messageKey,
                       const std::vector<std::string>& arguments) {
    QStringList shown;
    for (const std::string& a : arguments) {
        shown << QString::fromStdString(a);
    }
    return ask(owner, language,
               QString::fromUtf8(messageKey.data(), static_cast<qsizetype>(messageKey.size())),
               shown);
}

void MessageDialog::setup() {
    const auto text = [this](const QString& key) {
        return language_ != nullptr ? language_->text(key) : QString();
    };
    if (auto* title = control<QLabel>("warning_title")) {
        title->setText(text(titleKey_));
    }
    if (auto* message = control<QLabel>("warning")) {
        QString shown = text(messageKey_);
        for (const QString& argument : arguments_) {
            shown = shown.arg(argument);
        }
        message->setText(shown);
        setAccessibleDescription(message->text());
    }
    setWindowTitle(text(titleKey_));
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
}

}  // namespace tvq
