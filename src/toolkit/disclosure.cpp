#include "toolkit/disclosure.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QToolButton>

namespace tvq {
namespace {

constexpr const char* kSectionClass = "section";
constexpr const char* kDisclosureProperty = "disclosure";

bool isSectionHeader(QObject* object) {
    return qobject_cast<QToolButton*>(object) != nullptr &&
           object->property("class").toString() == QLatin1String(kSectionClass);
}

class DisclosureAccessible final : public QAccessibleWidget {
  public:
    explicit DisclosureAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = button()->isChecked();
        s.collapsed = !button()->isChecked();
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            QString name = button()->accessibleName();
            return name.isEmpty() ? QString(button()->text()).remove(QLatin1Char('&')) : name;
        }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return {pressAction(), toggleAction(), setFocusAction()};
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == toggleAction()) {
            button()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
};

QAccessibleInterface* disclosureFactory(const QString&, QObject* object) {
    return isSectionHeader(object) ? new DisclosureAccessible(static_cast<QToolButton*>(object))
                                   : nullptr;
}

void showState(QToolButton* button, bool open) {
    button->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void showDisclosureState(QToolButton* header) {
    if (header != nullptr && header->property(kDisclosureProperty).toBool()) {
        showState(header, header->isChecked());
    }
}

void makeDisclosures(QWidget* root) {
    static const bool installed = [] {
        QAccessible::installFactory(disclosureFactory);
        return true;
    }();
    (void)installed;
    for (QToolButton* button : root->findChildren<QToolButton*>()) {
        if (!isSectionHeader(button) || button->property(kDisclosureProperty).toBool()) {
            continue;
        }
        button->setProperty(kDisclosureProperty, true);
        // An interface made for it before the factory was there is replaced.
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button);
            made != nullptr && dynamic_cast<DisclosureAccessible*>(made) == nullptr) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
        button->setCheckable(true);
        button->setArrowType(button->isChecked() ? Qt::DownArrow : Qt::RightArrow);
        QObject::connect(button, &QToolButton::toggled, button,
                         [button](bool open) { showState(button, open); });
    }
}

}  // namespace tvq
