#include "dialogs/msg_wnd.h"

#include <QLabel>
#include <QPushButton>

#include "toolkit/language.h"

namespace tvq {

CMsgWnd::CMsgWnd(const LanguageManager* language, QString titleKey, QString messageKey)
    : WindowImplBase("MsgWnd", "msg.xml", language),
      language_(language),
      titleKey_(std::move(titleKey)),
      messageKey_(std::move(messageKey)) {}

int CMsgWnd::ask(QWidget* owner, const LanguageManager* language, const QString& messageKey) {
    CMsgWnd box(language, "warning_title_text", messageKey);
    box.create(owner, Qt::Dialog | Qt::FramelessWindowHint);
    box.centerWindow();
    return box.showModal();
}

void CMsgWnd::setup() {
    const auto show = [this](const char* name, const QString& key) {
        if (auto* label = control<QLabel>(name)) {
            label->setText(language_ != nullptr ? language_->text(key) : QString());
        }
    };
    show("warning_title", titleKey_);
    show("warning", messageKey_);
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
    }
}

void CMsgWnd::onClick(const Notification& n) {
    if (n.senderName() == "btn_ok") {
        close(1);
    } else if (n.senderName() == "btn_cancel") {
        close(0);
    }
}

}  // namespace tvq
