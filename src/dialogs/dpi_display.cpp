#include "dialogs/dpi_display.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace tvq {

DpiDisplay::DpiDisplay(const LanguageManager* language)
    : WindowBase("DpiDisplay", "DPImsg.xml", language) {
    setAttribute(Qt::WA_ShowWithoutActivating);
}

QRect DpiDisplay::placement(const QRect& area) {
    return {area.x() + area.width() - 210, area.y() + area.height() - 60, 200, 50};
}

void DpiDisplay::setText(const QString& text) {
    text_ = text;
    if (label_ != nullptr) {
        label_->setText(text_);
    }
}

void DpiDisplay::setup() {
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
