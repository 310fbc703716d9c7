#include "dialogs/dpi_msg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace tvq {

CDPIMsg::CDPIMsg(const LanguageManager* language)
    : WindowImplBase("DPIWnd", "DPImsg.xml", language) {
    setAttribute(Qt::WA_ShowWithoutActivating);
}

QRect CDPIMsg::placement(const QRect& area) {
    return {area.x() + area.width() - 210, area.y() + area.height() - 60, 200, 50};
}

void CDPIMsg::setText(const QString& text) {
    text_ = text;
    if (label_ != nullptr) {
        label_->setText(text_);
    }
}

void CDPIMsg::setup() {
    label_ = control<QLabel>("dpi_label");
    if (label_ == nullptr) {
        return;  // no label: the window keeps its size and place
    }
    label_->setText(text_);
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        setGeometry(placement(primary->availableGeometry()));
    }
}

}  // namespace tvq
