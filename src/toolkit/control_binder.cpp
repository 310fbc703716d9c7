#include "toolkit/control_binder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <memory>
#include <utility>

#include "base/debug.h"

namespace tvq {

ControlBinder::ControlBinder(QWidget* content, QString layoutName)
    : content_(content), layoutName_(std::move(layoutName)) {}

namespace {

// Indexes the widgets under `parent` by name, the first of each name in the
// order QObject::findChild meets them: all of an object's children, then
// each child's own.
void indexWidgets(const QObject* parent, QHash<QString, QPointer<QWidget>>& index) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->objectName().isEmpty() && !index.contains(w->objectName())) {
            index.insert(w->objectName(), w);
        }
    }
    for (const QObject* child : parent->children()) {
        indexWidgets(child, index);
    }
}

}  // namespace

QWidget* ControlBinder::named(const QString& name) const {
    const auto indexed = [this, &name]() -> QWidget* {
        const auto it = index_.constFind(name);
        return it != index_.cend() && *it != nullptr && (*it)->objectName() == name ? *it : nullptr;
    };
    if (QWidget* w = indexed(); w != nullptr || content_ == nullptr) {
        return w;
    }
    // Not in the index: a name the layout lacks costs one walk, as without
    // an index; a widget made, renamed or replaced since means the index is
    // made again, the others made with it being likely looked up next.
    if (!index_.isEmpty() && content_->findChild<QWidget*>(name) == nullptr) {
        return nullptr;
    }
    index_.clear();
    indexWidgets(content_, index_);
    return indexed();
}

QHash<QString, QWidget*> ControlBinder::findEach(const QStringList& names) const {
    QHash<QString, QWidget*> found;
    if (content_ == nullptr) {
        return found;
    }
    index_.clear();
    indexWidgets(content_, index_);
    for (const QString& name : names) {
        if (const auto it = index_.constFind(name); it != index_.cend() && *it != nullptr) {
            found.insert(name, *it);
        }
    }
    return found;
}

QWidget* ControlBinder::require(const QString& name) const {
    QWidget* w = find(name);
    if (w == nullptr) {
        debug::write(layoutName_.toStdString() + " lacks " + name.toStdString() + "\n");
    }
    return w;
}

void ControlBinder::onClick(const QString& name, std::function<void()> handler) {
    if (auto* b = qobject_cast<QAbstractButton*>(require(name))) {
        connect(b, &QAbstractButton::clicked, this, [h = std::move(handler)] { h(); });
    }
}

void ControlBinder::onToggled(const QString& name, std::function<void(bool)> handler) {
    // A click, Space and a screen reader's Toggle all change the state and
    // say so with toggled (a Toggle emits no clicked); the program's own
    // changes go through setCheckedQuietly and reach no handler.
    if (auto* b = qobject_cast<QAbstractButton*>(require(name))) {
        connect(b, &QAbstractButton::toggled, this,
                [h = std::move(handler)](bool checked) { h(checked); });
    }
}

void ControlBinder::onToggledBy(const QString& name,
                                std::function<void(bool, Activation)> handler) {
    if (auto* b = qobject_cast<QAbstractButton*>(require(name))) {
        Watched& w = watch(b);
        w.tracksInput = true;
        connect(b, &QAbstractButton::toggled, this, [&w, h = std::move(handler)](bool checked) {
            h(checked, std::exchange(w.input, Activation::kOther));
        });
    }
}

void ControlBinder::onSelectChanged(const QString& name, std::function<void()> handler) {
    if (auto* b = qobject_cast<QAbstractButton*>(require(name))) {
        connect(b, &QAbstractButton::toggled, this, [b, h = std::move(handler)](bool on) {
            if (on || !b->autoExclusive()) {
                h();
            }
        });
    }
}

void ControlBinder::onItemSelect(const QString& name, std::function<void(int)> handler) {
    QWidget* w = require(name);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        connect(combo, &QComboBox::activated, this, [h = std::move(handler)](int i) { h(i); });
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        connect(list, &QListWidget::currentRowChanged, this, [h = std::move(handler)](int row) {
            if (row >= 0) {
                h(row);
            }
        });
    }
}

void ControlBinder::onValueChanged(const QString& name, std::function<void(int)> handler) {
    QWidget* w = require(name);
    if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
        connect(s, &QAbstractSlider::valueChanged, this, [h = std::move(handler)](int v) { h(v); });
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        connect(spin, &QSpinBox::valueChanged, this, [h = std::move(handler)](int v) { h(v); });
    }
}

void ControlBinder::onDragEnd(const QString& name, std::function<void(int)> handler) {
    if (auto* s = qobject_cast<QAbstractSlider*>(require(name))) {
        connect(s, &QAbstractSlider::sliderReleased, this,
                [s, h = std::move(handler)] { h(s->value()); });
    }
}

void ControlBinder::onTextChanged(const QString& name,
                                  std::function<void(const QString&)> handler) {
    if (auto* e = qobject_cast<QLineEdit*>(require(name))) {
        connect(e, &QLineEdit::textChanged, this,
                [h = std::move(handler)](const QString& t) { h(t); });
    }
}

ControlBinder::Watched& ControlBinder::watch(QWidget* control) {
    const auto [it, added] = watched_.try_emplace(control);
    if (added) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { watched_.erase(control); });
    }
    return it->second;
}

void ControlBinder::onFocus(const QString& name, std::function<void(bool)> handler) {
    if (QWidget* w = require(name)) {
        watch(w).focus = std::move(handler);
    }
}

void ControlBinder::onHover(const QString& name, std::function<void(bool)> handler) {
    if (QWidget* w = require(name)) {
        watch(w).hover = std::move(handler);
    }
}

void ControlBinder::onKey(const QString& name, const QString& key, std::function<void()> handler) {
    QWidget* w = require(name);
    if (w == nullptr) {
        return;
    }
    QStringList keys{key};
    if (key == QStringLiteral("Return")) {
        keys << QStringLiteral("Enter");
    }
    auto shared = std::make_shared<std::function<void()>>(std::move(handler));
    for (const QString& k : keys) {
        auto* shortcut = new QShortcut(QKeySequence(k), w, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, [shared] { (*shared)(); });
    }
}

bool ControlBinder::eventFilter(QObject* watched, QEvent* event) {
    const auto it = watched_.find(watched);
    if (it != watched_.end()) {
        Watched& w = it->second;
        switch (event->type()) {
            // A button reacts on the release: what it does next was done so.
            case QEvent::MouseButtonRelease:
            case QEvent::KeyRelease:
                if (!w.tracksInput) {
                    break;
                }
                w.input = event->type() == QEvent::KeyRelease ? Activation::kKeyboard
                                                              : Activation::kPointer;
                // Forgotten once the release is handled, worked or not.
                QTimer::singleShot(0, this, [this, watched] {
                    if (const auto again = watched_.find(watched); again != watched_.end()) {
                        again->second.input = Activation::kOther;
                    }
                });
                break;
            case QEvent::FocusIn:
            case QEvent::FocusOut:
                if (w.focus) {
                    w.focus(event->type() == QEvent::FocusIn);
                }
                break;
            case QEvent::Enter:
            case QEvent::Leave:
                if (w.hover) {
                    w.hover(event->type() == QEvent::Enter);
                }
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ControlBinder::setCheckedQuietly(QAbstractButton* button, bool checked) {
    if (button != nullptr) {
        const QSignalBlocker blocker(button);
        button->setChecked(checked);
    }
}

void ControlBinder::selectQuietly(QComboBox* combo, int index) {
    if (combo != nullptr) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(index);
    }
}

void ControlBinder::selectRowQuietly(QListWidget* list, int row) {
    if (list != nullptr) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void ControlBinder::setValueQuietly(QSpinBox* spin, int value) {
    if (spin != nullptr) {
        const QSignalBlocker blocker(spin);
        spin->setValue(value);
    }
}

void ControlBinder::setValueQuietly(QAbstractSlider* slider, int value) {
    if (slider != nullptr) {
        const QSignalBlocker blocker(slider);
        slider->setValue(value);
    }
}

}  // namespace tvq
