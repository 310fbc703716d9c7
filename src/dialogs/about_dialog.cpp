#include "dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/message_dialog.h"
#include "toolkit/language.h"
#include "toolkit/loaded_menu.h"

namespace tvq {

namespace {
constexpr int kIconSize = 64;
}  // namespace

AboutDialog::AboutDialog(const LanguageManager* language, QWidget* owner)
    : DialogBase("AboutDialog", "about.xml", language, owner) {}

void AboutDialog::setup() {
    const auto text = [this](const char* key) {
        return language() != nullptr ? language()->text(QString::fromLatin1(key)) : QString();
    };
    if (auto* name = control<QLabel>("about_name")) {
        setWindowTitle(MessageDialog::filled(text("about_title_text"), {name->text()}));
    }
    if (auto* icon = control<QLabel>("about_icon")) {
        icon->setPixmap(productPixmap(kIconSize));
    }
    if (auto* version = control<QLabel>("about_version")) {
        version->setText(
            MessageDialog::filled(text("about_version_text"), {QStringLiteral(TVQ_VERSION)}));
    }
    if (auto* link = control<QLabel>("about_link")) {
        const QString url = QString::fromLatin1(kHomePage);
        link->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(url));
        link->setTextFormat(Qt::RichText);
        link->setOpenExternalLinks(true);
        link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        link->setAccessibleName(url);
    }
    if (auto* close = control<QPushButton>("btn_ok")) {
        close->setDefault(true);
        close->setFocus();
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
}

}  // namespace tvq
