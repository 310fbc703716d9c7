#include "page/ms_1_page.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include "base/debug.h"
#include "page/controls.h"
#include "toolkit/language.h"
#include "toolkit/window_base.h"

namespace tvq {
namespace {

QString qName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CMS_1_Page::CMS_1_Page(const LanguageManager& language, const KeyNames& keys, MouseSession& session)
    : language_(language), logic_(*this, language, keys, session) {}

CMS_1_Page::~CMS_1_Page() {
    if (window_ != nullptr) {
        window_->unregisterVirtualWindow(kVirtualWindow);
    }
}

void CMS_1_Page::attach(WindowImplBase& window, LibraryLoader& loader,
                        const std::string& programFolder, bool bleFound) {
    window_ = &window;
    const auto name = [](const Notification& n) { return n.senderName().toStdString(); };
    window.registerVirtualWindow(
        kVirtualWindow,
        {
            {"click", [this, name](const Notification& n) { logic_.onClick(name(n)); }},
            // Options are edited by the settings panels' own handlers.
            {"selectchanged", [](const Notification&) {}},
            {"itemselect",
             [this, name](const Notification& n) {
                 logic_.onItemSelect(name(n), static_cast<int>(n.wParam));
             }},
            {"checkclick", [this](const Notification& n) { onCheckClick(n); }},
            {"killfocus", [](const Notification&) {}},
            {"timer",
             [this, name](const Notification& n) {
                 logic_.onTimer(name(n), static_cast<int>(n.wParam));
             }},
            {"valuechanged", [](const Notification&) {}},
            {"mouseenter", [this, name](const Notification& n) { logic_.showKeyOverlay(name(n)); }},
            {"mouseleave", [this, name](const Notification& n) { logic_.hideKeyOverlay(name(n)); }},
        });
    bind();
    logic_.bindControls(loader, programFolder, &window, bleFound);
}

void CMS_1_Page::bind() {
    controls_.clear();
    QStringList missing;
    for (const ControlInfo& c : pageControls()) {
        const QString n = QString::fromStdString(c.name);
        if (QWidget* w = window_->control(n)) {
            controls_.insert(n, w);
        } else {
            missing << n;
        }
    }
    if (!missing.isEmpty()) {
        debug::write("main.xml lacks " + missing.join(", ").toStdString() + "\n");
    }
    if (auto* list = qobject_cast<QListWidget*>(boundControl(control::kListProfile))) {
        list->setUniformItemSizes(true);
    }
    // Controls whose editing the page does not offer yet show their values
    // but cannot be changed, so that the screen never shows a setting that
    // the profile and the mouse do not have.
    for (const ControlInfo& c : pageControls()) {
        if (c.operable() && !c.editable) {
            if (QWidget* w = boundControl(c.name)) {
                w->setEnabled(false);
            }
        }
    }
    // The wheel scrolls the page; it does not move a slider or a combo that
    // the pointer happens to pass over.
    for (QWidget* w : std::as_const(controls_)) {
        if (qobject_cast<QAbstractSlider*>(w) != nullptr ||
            qobject_cast<QComboBox*>(w) != nullptr) {
            w->setFocusPolicy(Qt::StrongFocus);
            w->installEventFilter(this);
        }
    }
}

bool CMS_1_Page::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* w = qobject_cast<QWidget*>(watched);
        if (w != nullptr && !w->hasFocus()) {
            event->ignore();  // handed on to the scroll area
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CMS_1_Page::onCheckClick(const Notification& n) {
    const auto* box = qobject_cast<QAbstractButton*>(n.sender);
    logic_.onCheckClick(n.senderName().toStdString(), box != nullptr && box->isChecked());
}

QWidget* CMS_1_Page::boundControl(std::string_view name) const {
    return controls_.value(qName(name), nullptr);
}

bool CMS_1_Page::exists(std::string_view control) const {
    return boundControl(control) != nullptr;
}

void CMS_1_Page::setVisible(std::string_view control, bool visible) {
    if (QWidget* w = boundControl(control)) {
        w->setVisible(visible);
    }
}

bool CMS_1_Page::isVisible(std::string_view control) const {
    // The control's own state: a control in a hidden section still counts.
    const QWidget* w = boundControl(control);
    return w != nullptr && !w->isHidden();
}

bool CMS_1_Page::isChecked(std::string_view control) const {
    const auto* b = qobject_cast<QAbstractButton*>(boundControl(control));
    return b != nullptr && b->isChecked();
}

void CMS_1_Page::selectOption(std::string_view control) {
    WindowImplBase::setCheckedQuietly(qobject_cast<QAbstractButton*>(boundControl(control)), true);
}

void CMS_1_Page::setChecked(std::string_view control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(boundControl(control));
    if (button != nullptr && !checked && button->autoExclusive()) {
        // An exclusive option can only be cleared with its exclusivity off.
        button->setAutoExclusive(false);
        WindowImplBase::setCheckedQuietly(button, false);
        button->setAutoExclusive(true);
        return;
    }
    WindowImplBase::setCheckedQuietly(button, checked);
}

void CMS_1_Page::setText(std::string_view control, std::string_view text) {
    QWidget* w = boundControl(control);
    const QString t = qName(text);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(t);
    }
}

void CMS_1_Page::setTextKey(std::string_view control, std::string_view key) {
    setText(control, language_.text(key));
}

void CMS_1_Page::setProgress(std::string_view control, int value) {
    if (auto* bar = qobject_cast<QProgressBar*>(boundControl(control))) {
        bar->setValue(value);
    }
}

void CMS_1_Page::setSliderValue(std::string_view control, int value) {
    WindowImplBase::setValueQuietly(qobject_cast<QAbstractSlider*>(boundControl(control)), value);
}

void CMS_1_Page::selectItem(std::string_view control, int index) {
    QWidget* w = boundControl(control);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // An item the combo does not have shows as no selection.
        WindowImplBase::selectQuietly(combo, index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        WindowImplBase::selectRowQuietly(list, index);
    }
}

void CMS_1_Page::setBackgroundColor(std::string_view control, std::uint32_t argb) {
    if (QWidget* w = boundControl(control)) {
        const QString colour = QColor::fromRgba(argb).name(QColor::HexRgb);
        w->setStyleSheet(QStringLiteral("background-color: %1;").arg(colour));
    }
}

void CMS_1_Page::startTimer(int id, int ms) {
    if (window_ == nullptr) {
        return;
    }
    if (id == timer::kChargeAnimation) {
        window_->setControlTimer(boundControl(control::kProgressPower), id, ms);
    } else {
        window_->setTimer(id, ms);
    }
}

void CMS_1_Page::stopTimer(int id) {
    if (window_ == nullptr) {
        return;
    }
    if (id == timer::kChargeAnimation) {
        window_->killControlTimer(boundControl(control::kProgressPower), id);
    } else {
        window_->killTimer(id);
    }
}

void CMS_1_Page::postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window_ != nullptr) {
        window_->postMessage(message, wParam, lParam);
    }
}

void CMS_1_Page::appendListRow(std::string_view list, std::string_view text) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        l->addItem(qName(text));
        l->item(l->count() - 1)->setSizeHint(QSize(0, control::kProfileRowHeight));
    }
}

}  // namespace tvq
