#include "toolkit/loaded_menu.h"

#include <QActionGroup>
#include <QFile>
#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>
#include <QXmlStreamReader>

#include "base/debug.h"
#include "toolkit/language.h"

namespace tvq {

namespace {

// Reads the items of the <menu> element the reader is in, with nested
// <menu textKey=...> elements as sub-menus.
void readItems(QXmlStreamReader& xml, QMenu& menu, const LanguageManager& language,
               const std::function<void(const MenuCommand&)>& picked) {
    while (xml.readNextStartElement()) {
        const auto a = xml.attributes();
        if (xml.name() == u"separator") {
            menu.addSeparator();
        } else if (xml.name() == u"menu") {
            QMenu* sub = menu.addMenu(language.text(a.value(QStringLiteral("textKey")).toString()));
            sub->setObjectName(a.value(QStringLiteral("name")).toString());
            readItems(xml, *sub, language, picked);
            // One choice of many: its items are drawn and behave as radio items.
            if (a.value(QStringLiteral("exclusive")) == u"true") {
                auto* group = new QActionGroup(sub);
                group->setExclusive(true);
                for (QAction* item : sub->actions()) {
                    if (item->isCheckable()) {
                        group->addAction(item);
                    }
                }
            }
            continue;  // readItems ended at this element's end
        } else if (xml.name() == u"item") {
            MenuCommand command{a.value(QStringLiteral("name")).toString().toStdString(),
                                a.value(QStringLiteral("userData")).toString().toStdString(),
                                {}};
            const QString text = language.text(a.value(QStringLiteral("textKey")).toString());
            command.text = text.toStdString();
            QAction* action = menu.addAction(text);
            action->setObjectName(QString::fromStdString(command.name));
            action->setCheckable(a.value(QStringLiteral("checkable")) == u"true");
            if (const auto keys = a.value(QStringLiteral("shortcut")); !keys.isEmpty()) {
                action->setShortcut(QKeySequence(keys.toString()));  // shown beside the item
            }
            if (const auto tip = a.value(QStringLiteral("toolTipKey")); !tip.isEmpty()) {
                action->setToolTip(language.text(tip.toString()));
                menu.setToolTipsVisible(true);
            }
            QObject::connect(action, &QAction::triggered, &menu,
                             [picked, command] { picked(command); });
        }
        xml.skipCurrentElement();
    }
}

}  // namespace

bool LoadedMenu::load(const QString& path, const LanguageManager& language,
                      std::function<void(const MenuCommand&)> picked) {
    menu_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        debug::write("no menu " + path.toStdString() + "\n");
        return false;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"menu") {
        debug::write("malformed menu " + path.toStdString() + "\n");
        return false;
    }
    readItems(xml, menu_, language, picked);
    return !xml.hasError();
}

void LoadedMenu::popup(const QPoint& at) {
    menu_.popup(at);
}

QPoint LoadedMenu::placeBeside(const QRect& button, int height, const QRect& screen) {
    QPoint at(button.right() + 1, button.top());
    if (at.y() + height >= screen.bottom()) {
        // Upwards, ending at the button's bottom, never above the screen.
        at.setY(std::max(screen.top(), button.bottom() + 1 - height));
    }
    return at;
}

QPixmap productPixmap(int size, ProductBody tone) {
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        // A mouse seen from above: body, button split and a glowing wheel.
        QPainterPath body;
        body.addRoundedRect(QRectF(s * 0.22, s * 0.08, s * 0.56, s * 0.84), s * 0.28, s * 0.28);
        QLinearGradient shade(0, 0, 0, s);
        const bool middle = tone == ProductBody::kMiddleTone;
        shade.setColorAt(0, QColor(middle ? "#7a8594" : "#3a4352"));
        shade.setColorAt(1, QColor(middle ? "#66717f" : "#161a22"));
        p.fillPath(body, shade);
        p.setPen(QPen(QColor(middle ? "#6b7684" : "#00d1c1"), std::max(1.0, s / 24)));
        p.drawPath(body);
        p.setPen(QPen(QColor("#00d1c1"), std::max(1.0, s / 24)));
        p.drawLine(QPointF(s * 0.5, s * 0.1), QPointF(s * 0.5, s * 0.42));
        p.setBrush(QColor("#00d1c1"));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(s * 0.46, s * 0.2, s * 0.08, s * 0.14), s * 0.04, s * 0.04);
        return pixmap;
    }
}

QIcon productIcon() {
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128}) {
        icon.addPixmap(productPixmap(size));
    }
    return icon;
}

}  // namespace tvq
