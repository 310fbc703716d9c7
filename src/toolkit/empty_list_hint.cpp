#include "toolkit/empty_list_hint.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QListWidget>
#include <QPainter>
#include <QPointer>

namespace tvq {
namespace {

class Hint final : public QObject {
  public:
    Hint(QListWidget* list, QString text)
        : QObject(list), list_(list), viewport_(list->viewport()), text_(std::move(text)) {
        list->viewport()->installEventFilter(this);
        QAbstractItemModel* model = list->model();
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            connect(model, signal, this, [this] { follow(); });
        }
        connect(model, &QAbstractItemModel::modelReset, this, [this] { follow(); });
        follow();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && list_->count() == 0) {
            auto* viewport = static_cast<QWidget*>(watched);
            QPainter p(viewport);
            p.setPen(list_->palette().color(QPalette::PlaceholderText));
            p.drawText(viewport->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                       Qt::AlignCenter | Qt::TextWordWrap, text_);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    static constexpr int kMargin = 8;

    void follow() {
        if (!viewport_) {
            return;  // the list is being taken down
        }
        list_->setAccessibleDescription(list_->count() == 0 ? text_ : QString());
        viewport_->update();
    }

    QListWidget* list_;
    QPointer<QWidget> viewport_;  // gone before the list's rows when it is deleted
    QString text_;
};

}  // namespace

void EmptyListHint::attach(QListWidget* list, const QString& hint) {
    new Hint(list, hint);
}

}  // namespace tvq
