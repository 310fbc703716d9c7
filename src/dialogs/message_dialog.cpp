#include "dialogs/message_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "base/product.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

QString qKey(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

MessageDialog::MessageDialog(const LanguageManager* language, QString messageKey, QString verbKey,
                             QWidget* owner, QStringList arguments)
    : DialogBase("MessageDialog", "msg.xml", language, owner),
      language_(language),
      messageKey_(std::move(messageKey)),
      verbKey_(std::move(verbKey)),
      arguments_(std::move(arguments)) {}

QString MessageDialog::filled(const QString& pattern, const QStringList& arguments) {
    // One pass, so that an argument holding "%2" (a file's name) stays as it is.
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const int n =
            i + 1 < pattern.size() && pattern[i] == u'%' ? pattern[i + 1].digitValue() : -1;
        if (n >= 1 && n <= arguments.size()) {
            out += arguments[n - 1];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

QStringList MessageDialog::qArguments(const std::vector<std::string>& arguments) {
    QStringList shown;
    for (const std::string& a : arguments) {
        shown << QString::fromStdString(a);
    }
    return shown;
}

void MessageDialog::tell(QWidget* owner, const LanguageManager* language, const QString& messageKey,
                         const QStringList& arguments) {
    MessageDialog box(language, messageKey, QString(), owner, arguments);
    box.create();
    box.placeCentred();
    box.runModal();
}

void MessageDialog::tell(QWidget* owner, const LanguageManager* language,
                         std::string_view messageKey, const std::vector<std::string>& arguments) {
    tell(owner, language, qKey(messageKey), qArguments(arguments));
}

bool MessageDialog::ask(QWidget* owner, const LanguageManager* language,
                        std::string_view messageKey, const std::vector<std::string>& arguments,
                        std::string_view verbKey) {
    MessageDialog box(language, qKey(messageKey), qKey(verbKey), owner, qArguments(arguments));
    box.create();
    box.placeCentred();
    return box.runModal() == 1;
}

void MessageDialog::setup() {
    const auto text = [this](const QString& key) {
        return language_ != nullptr ? language_->text(key) : QString();
    };
    const bool question = !verbKey_.isEmpty();
    const QString title = text(question ? QStringLiteral("question_title_text")
                                        : QStringLiteral("warning_title_text"));
    if (auto* label = control<QLabel>("warning_title")) {
        label->setText(title);
    }
    // The frame names what the dialog is for: the question's verb, or the
    // program a notice comes from.
    setWindowTitle(question ? QString(text(verbKey_)).remove(QLatin1Char('&')) + u'?'
                            : QString::fromUtf8(kProductName));
    if (auto* message = control<QLabel>("warning")) {
        message->setText(filled(text(messageKey_), arguments_));
        setAccessibleDescription(message->text());
    }
    auto* ok = control<QPushButton>("btn_ok");
    auto* cancel = control<QPushButton>("btn_cancel");
    if (question) {
        if (ok != nullptr) {
            ok->setText(text(verbKey_));
            ok->setAutoDefault(false);
            // A verb that throws something away is drawn as destructive.
            const bool destructive = verbKey_ == QStringLiteral("delete_verb_text") ||
                                     verbKey_ == QStringLiteral("restore_verb_text");
            ok->setProperty("destructive", destructive);
            ok->style()->unpolish(ok);
            ok->style()->polish(ok);
        }
        if (cancel != nullptr) {
            cancel->setDefault(true);  // the safe answer
            cancel->setFocus();
        }
    } else {
        if (cancel != nullptr) {
            cancel->hide();  // a notice has one button
        }
        if (ok != nullptr) {
            ok->setDefault(true);
            ok->setFocus();
        }
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
    controls()->onClick("btn_cancel", [this] { finish(0); });
}

}  // namespace tvq
