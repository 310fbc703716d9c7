#include "dialogs/help_dialog.h"

#include <QFile>
#include <QPushButton>
#include <QTextBrowser>

#include "dialogs/about_dialog.h"
#include "toolkit/language.h"
#include "toolkit/layout.h"

namespace tvq {

HelpDialog::HelpDialog(const LanguageManager* language, QWidget* owner)
    : DialogBase("HelpDialog", "help.xml", language, owner) {}

void HelpDialog::setup() {
    if (language() != nullptr) {
        setWindowTitle(language()->text(QStringLiteral("help_menu_text")));
    }
    if (auto* text = control<QTextBrowser>("help_text")) {
        text->setOpenExternalLinks(true);
        QFile guide(resourceFolder() + QString::fromLatin1(kGuideFile));
        if (guide.open(QIODevice::ReadOnly)) {
            text->setMarkdown(QString::fromUtf8(guide.readAll()));
        } else {
            // A damaged install: the guide is also on the program's home page.
            const QString url = QString::fromLatin1(AboutDialog::kHomePage);
            text->setHtml(QStringLiteral("<p><a href=\"%1\">%1</a></p>").arg(url));
        }
    }
    if (auto* close = control<QPushButton>("btn_ok")) {
        close->setDefault(true);
    }
    controls()->onClick("btn_ok", [this] { finish(1); });
}

}  // namespace tvq
