#include "toolkit/tool_tips.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace tvq {
namespace {

class Wrapper final : public QObject {
  public:
    explicit Wrapper(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

  private:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        auto* w = qobject_cast<QWidget*>(watched);
        if (w == nullptr) {
            return false;
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        QString tip;
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            const QAction* action = menu->actionAt(help->pos());
            if (!menu->toolTipsVisible() || action == nullptr) {
                return false;
            }
            tip = action->toolTip();
        } else {
            tip = w->toolTip();
        }
        if (tip.size() <= ToolTips::kWrapAfterChars || Qt::mightBeRichText(tip)) {
            return false;  // the toolkit's own way
        }
        QToolTip::showText(help->globalPos(), QStringLiteral("<p>%1</p>").arg(tip.toHtmlEscaped()),
                           w, QRect(), w->toolTipDuration());
        return true;
    }
};

}  // namespace

void ToolTips::install() {
    static QPointer<Wrapper> wrapper;
    if (!wrapper) {
        wrapper = new Wrapper(qApp);
    }
}

}  // namespace tvq
