#include "page_widgets/settings_page_view.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "base/debug.h"
#include "page/controls.h"
#include "page_widgets/page_accessibility.h"
#include "toolkit/disclosure.h"
#include "toolkit/language.h"
#include "toolkit/library_messages.h"
#include "toolkit/window_base.h"
#include "toolkit/window_style.h"

namespace tvq {
namespace {

QString qName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// A Ticker on a QTimer.
class QtTicker final : public Ticker {
  public:
    explicit QtTicker(std::function<void()> tick) {
        QObject::connect(&timer_, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
    }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }
    bool running() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace

SettingsPageView::SettingsPageView(const LanguageManager& language, const KeyNames& keys,
                                   MouseSession& session)
    : language_(language),
      dialogs_(language, keys, session, [this](std::string_view n) { return boundControl(n); }),
      logic_(*this, language, keys, session, &dialogs_) {}

SettingsPageView::~SettingsPageView() = default;

void SettingsPageView::attach(WindowBase& window, LibraryMessages* libraryWindow, InputHook* hook) {
    window_ = &window;
    dialogs_.setOwner(&window, hook, libraryWindow);
    takeNewControls();
    keepApplyButtonInPlace();
}

void SettingsPageView::attachLaterParts() {
    if (window_ != nullptr) {
        takeNewControls();
    }
}

void SettingsPageView::takeNewControls() {
    findControls();
    logic_.controlsAdded();
    boundEarlier_ = QSet<QString>(controls_.keyBegin(), controls_.keyEnd());
    nameControlsForAccessibility(language_, [this](std::string_view n) { return boundControl(n); });
    makeDisclosures(window_);
}

void SettingsPageView::keepApplyButtonInPlace() {
    // The progress strip and the line under the apply button keep their room
    // when hidden, and the line has room for the longest of its texts, so
    // neither moves the button under the pointer.
    for (const char* name : {control::kApplyRing, control::kApplyStatus}) {
        if (QWidget* w = boundControl(name)) {
            QSizePolicy policy = w->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            w->setSizePolicy(policy);
        }
    }
    if (QWidget* line = boundControl(control::kApplyStatus)) {
        line->setMinimumHeight(kApplyStatusLines * line->fontMetrics().lineSpacing());
    }
    // The status bar grows upwards for a longer text: the button keeps to
    // its bottom edge, which is the window's.
    if (auto* row = window_->findChild<QLayout*>(QStringLiteral("status_row"))) {
        if (QWidget* button = boundControl(control::kApplyButton)) {
            row->setAlignment(button, Qt::AlignBottom);
            // Its own width, whatever the words beside it need.
            button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        }
        if (QWidget* line = boundControl(control::kApplyStatus)) {
            QSizePolicy policy = line->sizePolicy();
            policy.setHorizontalPolicy(QSizePolicy::Expanding);
            line->setSizePolicy(policy);
        }
    }
}

void SettingsPageView::findControls() {
    // Those of parts built since are added; those found stay as they are.
    QStringList wanted;
    for (const ControlInfo& c : pageControls()) {
        if (const QString n = QString::fromStdString(c.name); !controls_.contains(n)) {
            wanted << n;
        }
    }
    const ControlBinder* binder = window_->controls();
    const QHash<QString, QWidget*> found =
        binder != nullptr ? binder->findEach(wanted) : QHash<QString, QWidget*>();
    QStringList missing;
    for (const ControlInfo& c : pageControls()) {
        const QString n = QString::fromStdString(c.name);
        if (controls_.contains(n)) {
            continue;
        }
        QWidget* w = found.value(n);
        if (w == nullptr) {
            missing << n;
            continue;
        }
        controls_.insert(n, w);
        if (c.operable() && !c.editable) {
            // Shown but not yet changeable: the screen never shows a setting
            // that the profile and the mouse do not have.
            w->setEnabled(false);
        }
        // The wheel scrolls the page; it does not move a slider or a combo
        // that the pointer happens to pass over.
        if (c.kind == ControlKind::kSlider || c.kind == ControlKind::kCombo) {
            w->setFocusPolicy(Qt::StrongFocus);
            w->installEventFilter(this);
        }
    }
    if (!missing.isEmpty() && !window_->deferredPartsPending()) {
        debug::write("main.xml lacks " + missing.join(", ").toStdString() + "\n");
    }
    if (auto* list = qobject_cast<QListWidget*>(boundControl(control::kListProfile))) {
        list->setUniformItemSizes(true);
    }
}

bool SettingsPageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && !w->hasFocus()) {
            event->ignore();  // handed on to the scroll area
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QWidget* SettingsPageView::boundControl(std::string_view name) const {
    return controls_.value(qName(name), nullptr);
}

// ControlEvents: only controls the page found are bound, each once: a
// control found before the parts built since was bound then.

bool SettingsPageView::bindable(std::string_view control) const {
    return exists(control) && !boundEarlier_.contains(qName(control));
}

template <class Handler>
void SettingsPageView::bindFound(std::string_view control,
                                 void (ControlBinder::*bind)(const QString&, Handler),
                                 Handler handler) {
    if (bindable(control)) {
        (window_->controls()->*bind)(qName(control), std::move(handler));
    }
}

void SettingsPageView::onClick(std::string_view control, std::function<void()> handler) {
    bindFound(control, &ControlBinder::onClick, std::move(handler));
}
void SettingsPageView::onToggle(std::string_view control, std::function<void(bool)> handler) {
    bindFound(control, &ControlBinder::onToggled, std::move(handler));
}
void SettingsPageView::onOptionSelected(std::string_view control, std::function<void()> handler) {
    bindFound(control, &ControlBinder::onSelectChanged, std::move(handler));
}
void SettingsPageView::onItemChosen(std::string_view control, std::function<void(int)> handler) {
    bindFound(control, &ControlBinder::onItemSelect, std::move(handler));
}
void SettingsPageView::onValueChanged(std::string_view control, std::function<void(int)> handler) {
    bindFound(control, &ControlBinder::onValueChanged, std::move(handler));
}
void SettingsPageView::onHover(std::string_view control, std::function<void(bool)> handler) {
    bindFound(control, &ControlBinder::onHover, std::move(handler));
}

void SettingsPageView::onKey(std::string_view control, std::string_view key,
                             std::function<void()> handler) {
    if (bindable(control)) {
        window_->controls()->onKey(qName(control), qName(key), std::move(handler));
    }
}

// The view.

bool SettingsPageView::exists(std::string_view control) const {
    return boundControl(control) != nullptr;
}

void SettingsPageView::setVisible(std::string_view control, bool visible) {
    if (QWidget* w = boundControl(control)) {
        w->setVisible(visible);
    }
}

void SettingsPageView::setEnabled(std::string_view control, bool enabled) {
    if (QWidget* w = boundControl(control)) {
        w->setEnabled(enabled);
    }
}

bool SettingsPageView::isVisible(std::string_view control) const {
    // The control's own state: a control in a hidden section still counts.
    const QWidget* w = boundControl(control);
    return w != nullptr && !w->isHidden();
}

bool SettingsPageView::isChecked(std::string_view control) const {
    const auto* b = qobject_cast<QAbstractButton*>(boundControl(control));
    return b != nullptr && b->isChecked();
}

void SettingsPageView::selectOption(std::string_view control) {
    ControlBinder::setCheckedQuietly(qobject_cast<QAbstractButton*>(boundControl(control)), true);
}

void SettingsPageView::setChecked(std::string_view control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(boundControl(control));
    if (button != nullptr && !checked && button->autoExclusive()) {
        // An exclusive option can only be cleared with its exclusivity off.
        button->setAutoExclusive(false);
        ControlBinder::setCheckedQuietly(button, false);
        button->setAutoExclusive(true);
        return;
    }
    ControlBinder::setCheckedQuietly(button, checked);
    showDisclosureState(qobject_cast<QToolButton*>(button));
}

void SettingsPageView::setText(std::string_view control, std::string_view text) {
    QWidget* w = boundControl(control);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(qName(text));
    } else {
        setButtonText(w, qName(text));
    }
}

void SettingsPageView::setTextKey(std::string_view control, std::string_view key) {
    setText(control, language_.text(key));
}

void SettingsPageView::setProgress(std::string_view control, int value) {
    if (auto* bar = qobject_cast<QProgressBar*>(boundControl(control))) {
        bar->setValue(value);
    }
}

void SettingsPageView::setSliderValue(std::string_view control, int value) {
    QWidget* w = boundControl(control);
    if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        ControlBinder::setValueQuietly(spin, value);
        return;
    }
    ControlBinder::setValueQuietly(qobject_cast<QAbstractSlider*>(w), value);
}

void SettingsPageView::selectItem(std::string_view control, int index) {
    QWidget* w = boundControl(control);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // An item the combo does not have shows as no selection.
        ControlBinder::selectQuietly(combo, index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        ControlBinder::selectRowQuietly(list, index);
    }
}

void SettingsPageView::setStyleState(std::string_view control, std::string_view state) {
    QWidget* w = boundControl(control);
    const QString value = QString::fromUtf8(state.data(), static_cast<qsizetype>(state.size()));
    if (w == nullptr || w->property("state").toString() == value) {
        return;
    }
    // The window's style draws by the state; polished again, a label takes
    // the colour of its state.
    w->setProperty("state", value);
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
    if (control == control::kApplyStatus) {
        showApplyStatusIcon(value);
    }
}

void SettingsPageView::showApplyStatusIcon(const QString& state) {
    auto* icon = window_->findChild<QLabel*>(QStringLiteral("apply_status_icon"));
    if (icon == nullptr) {
        return;
    }
    // Beside the words, not instead of them: the icon is not read out.
    const int size = icon->fontMetrics().height();
    const QIcon shown =
        state == u"error"
            ? QIcon::fromTheme(QStringLiteral("dialog-error"),
                               icon->style()->standardIcon(QStyle::SP_MessageBoxCritical))
        : state == u"ok"
            ? QIcon::fromTheme(QStringLiteral("emblem-ok-symbolic"),
                               icon->style()->standardIcon(QStyle::SP_DialogApplyButton))
            : QIcon();
    icon->setPixmap(shown.isNull() ? QPixmap() : shown.pixmap(size, size));
    icon->setFixedWidth(size);
}

void SettingsPageView::setToolTipKey(std::string_view control, std::string_view key) {
    if (QWidget* w = boundControl(control)) {
        w->setToolTip(key.empty() ? QString()
                                  : language_.text(QString::fromUtf8(
                                        key.data(), static_cast<qsizetype>(key.size()))));
    }
}

void SettingsPageView::setBackgroundColor(std::string_view control, std::uint32_t argb) {
    if (QWidget* w = boundControl(control)) {
        w->setProperty(kSwatchColourProperty, QColor::fromRgb(argb));  // opaque
        w->update();
    }
}

std::unique_ptr<Ticker> SettingsPageView::makeTicker(std::function<void()> tick) {
    return std::make_unique<QtTicker>(std::move(tick));
}

void SettingsPageView::removeListRow(std::string_view list, int row) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        const QSignalBlocker quiet(l);
        delete l->takeItem(row);
    }
}

void SettingsPageView::showRowText(QListWidgetItem& item, const QString& text) {
    // A long name is cut at the row's end: the whole of it is the row's
    // tooltip and what a screen reader says.
    item.setText(text);
    item.setToolTip(text);
    item.setData(Qt::AccessibleTextRole, text);
}

void SettingsPageView::setListRowText(std::string_view list, int row, std::string_view text) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        if (QListWidgetItem* item = l->item(row)) {
            showRowText(*item, qName(text));
        }
    }
}

void SettingsPageView::appendListRow(std::string_view list, std::string_view text) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        auto* item = new QListWidgetItem(l);
        showRowText(*item, qName(text));
        item->setSizeHint(QSize(0, control::kProfileRowHeight));
    }
}

}  // namespace tvq
