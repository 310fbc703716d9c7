#include "app/page_reflow.h"

#include <QEvent>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tvq {

PageReflow::PageReflow(QWidget* page)
    : QObject(page),
      page_(page),
      side_(page->findChild<QScrollArea*>(QStringLiteral("side_scroll"))),
      settings_(page->findChild<QScrollArea*>(QStringLiteral("settings_scroll"))) {
    if (!side_ || !settings_ || side_->widget() == nullptr || settings_->widget() == nullptr) {
        return;
    }
    sidePanel_ = side_->widget();
    sideWidth_ = sidePanel_->maximumWidth();
    settingsLayout_ = qobject_cast<QVBoxLayout*>(settings_->widget()->layout());
    if (settingsLayout_ == nullptr) {
        return;
    }
    // Below the width of one column the settings scroll sideways rather
    // than being cut.
    settings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    page->installEventFilter(this);
    settings_->widget()->installEventFilter(this);
    follow();
}

bool PageReflow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == page_ && event->type() == QEvent::Resize) ||
        (settings_ && watched == settings_->widget() && event->type() == QEvent::LayoutRequest)) {
        // After the layouts have settled, once for all the requests made
        // meanwhile: a text in another language or a section opened
        // changes what the settings need.
        if (!followDue_) {
            followDue_ = true;
            QTimer::singleShot(0, this, [this] {
                followDue_ = false;
                follow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

int PageReflow::twoColumnWidth() const {
    // The settings' own widest part, without the side column when it
    // heads them.
    int settings = 0;
    for (int i = 0; i < settingsLayout_->count(); ++i) {
        QLayoutItem* item = settingsLayout_->itemAt(i);
        if (item->widget() != nullptr && item->widget() == sidePanel_) {
            continue;
        }
        settings = std::max(settings, item->minimumSize().width());
    }
    const QMargins inner = settingsLayout_->contentsMargins();
    settings += inner.left() + inner.right() + 2 * settings_->frameWidth() +
                settings_->verticalScrollBar()->sizeHint().width();
    const QLayout* columns = page_->layout();
    int margins = 0;
    int spacing = 0;
    if (columns != nullptr) {
        // The columns' row is the page's first item.
        const QLayout* row = columns->itemAt(0) != nullptr ? columns->itemAt(0)->layout() : nullptr;
        for (const QLayout* l : {columns, row}) {
            if (l != nullptr) {
                margins += l->contentsMargins().left() + l->contentsMargins().right();
            }
        }
        spacing = row != nullptr ? std::max(0, row->spacing()) : 0;
    }
    return margins + side_->minimumWidth() + spacing + settings;
}

void PageReflow::follow() {
    // Hidden, the page has no width of its own yet; it is resized as it is
    // shown.
    if (!page_ || !sidePanel_ || following_ || !page_->isVisible()) {
        return;
    }
    following_ = true;
    setOneColumn(page_->width() < twoColumnWidth());
    following_ = false;
}

void PageReflow::setOneColumn(bool one) {
    if (one == oneColumn_) {
        return;
    }
    oneColumn_ = one;
    if (one) {
        side_->takeWidget();
        sidePanel_->setMaximumWidth(QWIDGETSIZE_MAX);
        settingsLayout_->insertWidget(0, sidePanel_);
        side_->hide();
    } else {
        settingsLayout_->removeWidget(sidePanel_);
        sidePanel_->setMaximumWidth(sideWidth_);
        side_->setWidget(sidePanel_);
        side_->show();
    }
    // The window's background shows through, in either place.
    sidePanel_->setAutoFillBackground(false);
    sidePanel_->show();
    keepTabOrder();
}

void PageReflow::keepTabOrder() {
    // A widget given a new parent goes to the end of the Tab order: the
    // side column's controls are put back before the settings, as they
    // are read.
    const auto reachable = [](const QWidget* w) {
        return (w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr;
    };
    QList<QWidget*> side;
    QList<QWidget*> settings;
    QWidget* w = page_;
    for (int steps = 0; steps < kFocusChainLimit; ++steps) {
        w = w->nextInFocusChain();
        if (w == page_) {
            break;
        }
        if (!reachable(w)) {
            continue;
        }
        if (sidePanel_->isAncestorOf(w)) {
            side << w;
        } else if (settings_->widget()->isAncestorOf(w)) {
            settings << w;
        }
    }
    const QList<QWidget*> reading = side + settings;
    for (qsizetype i = 1; i < reading.size(); ++i) {
        QWidget::setTabOrder(reading[i - 1], reading[i]);
    }
}

}  // namespace tvq
