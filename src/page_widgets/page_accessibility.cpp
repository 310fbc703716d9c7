#include "page_widgets/page_accessibility.h"

#include <QAbstractButton>
#include <QLabel>

#include "page/controls.h"
#include "toolkit/language.h"

namespace tvq {

void nameControlsForAccessibility(const LanguageManager& language,
                                  const std::function<QWidget*(std::string_view)>& find) {
    for (const ControlInfo& c : pageControls()) {
        QWidget* w = find(c.name);
        if (w == nullptr || c.accessibleKey.empty()) {
            continue;
        }
        QString name = language.text(QString::fromStdString(c.accessibleKey));
        if (c.number != 0) {
            name = name.arg(c.number);
        }
        w->setAccessibleName(name);
        if (c.kind == ControlKind::kButton && c.number != 0) {
            w->setProperty(kAccessibleBase, name);
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
                w->setAccessibleName(name + QStringLiteral(": ") + b->text());
            }
        }
        if (c.kind == ControlKind::kCombo) {
            // Qt names a combo after its current item; the description keeps
            // what the combo is for.
            w->setAccessibleDescription(name);
        }
    }
    if (QWidget* apply = find(control::kApplyButton)) {
        apply->setAccessibleDescription(
            language.text(QStringLiteral("a11y_apply_description_text")));
    }
    // Each DPI value label and the sleep label belong to their slider.
    for (std::size_t k = 1; k <= control::kDpiStageControlCount; ++k) {
        if (auto* label = qobject_cast<QLabel*>(find(numbered(control::kLabelDpi, k)))) {
            label->setBuddy(find(numbered(control::kSliderDpi, k)));
        }
    }
    if (auto* label = qobject_cast<QLabel*>(find(control::kLabelSleep))) {
        label->setBuddy(find(control::kSliderSleep));
    }
}

void setButtonText(QWidget* w, const QString& text) {
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (button == nullptr) {
        return;
    }
    button->setText(text);
    if (const QVariant base = button->property(kAccessibleBase); base.isValid()) {
        button->setAccessibleName(base.toString() + QStringLiteral(": ") + text);
    }
}

}  // namespace tvq
