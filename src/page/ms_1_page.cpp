#include "page/ms_1_page.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QColor>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>

#include <QFileDialog>
#include <QProcess>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "base/debug.h"
#include "dialogs/dpi_color_wnd.h"
#include "dialogs/ms_1_config_name.h"
#include "dialogs/ms_1_macro.h"
#include "dialogs/ms_1_select_macro.h"
#include "dialogs/msg_wnd.h"
#include "dialogs/shortcut_wnd.h"
#include "page/controls.h"
#include "page/desktop_mouse_settings.h"
#include "toolkit/language.h"
#include "toolkit/layout.h"
#include "toolkit/tray.h"
#include "toolkit/window_base.h"

namespace tvq {
namespace {

constexpr int kPickerLeftOfButton = 200;
// A control whose accessible name tells its text too (the key buttons name
// the function they hold): the name without the text.
constexpr const char* kAccessibleBase = "tvqAccessibleBase";

QString qName(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

CMS_1_Page::CMS_1_Page(const LanguageManager& language, const KeyNames& keys, MouseSession& session)
    : language_(language),
      keys_(keys),
      session_(session),
      logic_(*this, language, keys, session, this) {}

CMS_1_Page::~CMS_1_Page() = default;

void CMS_1_Page::attach(WindowImplBase& window, LibraryLoader& loader,
                        const std::string& programFolder, MessageWindow* libraryWindow,
                        bool bleFound) {
    window_ = &window;
    bind();
    logic_.bindControls(loader, programFolder, libraryWindow, bleFound);
}

void CMS_1_Page::setMainWindowParts(const HookFunctions* hooks, LibraryMessages* hookMessages,
                                    std::function<void(const MenuCommand&)> menuRoute) {
    hooks_ = hooks;
    hookMessages_ = hookMessages;
    menuRoute_ = std::move(menuRoute);
}

void CMS_1_Page::bind() {
    controls_.clear();
    ControlBinder* binder = window_->controls();
    QStringList missing;
    for (const ControlInfo& c : pageControls()) {
        const QString n = QString::fromStdString(c.name);
        QWidget* w = binder != nullptr ? binder->find(n) : nullptr;
        if (w == nullptr) {
            missing << n;
            continue;
        }
        controls_.insert(n, w);
        const std::string name = c.name;
        switch (c.kind) {
            case ControlKind::kButton:
                binder->onClick(n, [this, name] { logic_.onClick(name); });
                break;
            case ControlKind::kCheck:
                binder->onCheckClick(n, [this, name](bool on) { logic_.onCheckClick(name, on); });
                break;
            case ControlKind::kList:
            case ControlKind::kCombo:
                binder->onItemSelect(n, [this, name](int i) { logic_.onItemSelect(name, i); });
                break;
            case ControlKind::kOption:
                binder->onSelectChanged(n, [this, name] { logic_.onSelectChanged(name); });
                break;
            case ControlKind::kSlider:
                binder->onValueChanged(n, [this, name](int v) { logic_.onValueChanged(name, v); });
                break;
            default:
                break;
        }
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
    if (!missing.isEmpty()) {
        debug::write("main.xml lacks " + missing.join(", ").toStdString() + "\n");
    }
    for (int k = 1; k <= control::kKeyButtonCount; ++k) {
        const std::string key = numbered(control::kKeyButton, static_cast<std::size_t>(k));
        if (exists(key)) {
            binder->onHover(QString::fromStdString(key), [this, key](bool entered) {
                entered ? logic_.showKeyOverlay(key) : logic_.hideKeyOverlay(key);
            });
        }
    }
    if (exists(control::kProgressPower)) {
        binder->onTimer(control::kProgressPower,
                        [this](int id) { logic_.onTimer(control::kProgressPower, id); });
    }
    if (auto* list = qobject_cast<QListWidget*>(boundControl(control::kListProfile))) {
        list->setUniformItemSizes(true);
    }
    nameForAccessibility();
}

void CMS_1_Page::nameForAccessibility() {
    for (const ControlInfo& c : pageControls()) {
        QWidget* w = boundControl(c.name);
        if (w == nullptr || c.accessibleKey.empty()) {
            continue;
        }
        QString name = language_.text(QString::fromStdString(c.accessibleKey));
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
    // Each DPI value label and the sleep label belong to their slider.
    for (int k = 1; k <= control::kDpiStageControlCount; ++k) {
        const auto n = static_cast<std::size_t>(k);
        if (auto* label = qobject_cast<QLabel*>(boundControl(numbered(control::kLabelDpi, n)))) {
            label->setBuddy(boundControl(numbered(control::kSliderDpi, n)));
        }
    }
    if (auto* label = qobject_cast<QLabel*>(boundControl(control::kLabelSleep))) {
        label->setBuddy(boundControl(control::kSliderSleep));
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
    ControlBinder::setCheckedQuietly(qobject_cast<QAbstractButton*>(boundControl(control)), true);
}

void CMS_1_Page::setChecked(std::string_view control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(boundControl(control));
    if (button != nullptr && !checked && button->autoExclusive()) {
        // An exclusive option can only be cleared with its exclusivity off.
        button->setAutoExclusive(false);
        ControlBinder::setCheckedQuietly(button, false);
        button->setAutoExclusive(true);
        return;
    }
    ControlBinder::setCheckedQuietly(button, checked);
}

void CMS_1_Page::setText(std::string_view control, std::string_view text) {
    QWidget* w = boundControl(control);
    const QString t = qName(text);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(t);
        if (const QVariant base = button->property(kAccessibleBase); base.isValid()) {
            button->setAccessibleName(base.toString() + QStringLiteral(": ") + t);
        }
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
    ControlBinder::setValueQuietly(qobject_cast<QAbstractSlider*>(boundControl(control)), value);
}

void CMS_1_Page::selectItem(std::string_view control, int index) {
    QWidget* w = boundControl(control);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // An item the combo does not have shows as no selection.
        ControlBinder::selectQuietly(combo, index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        ControlBinder::selectRowQuietly(list, index);
    }
}

void CMS_1_Page::setBackgroundColor(std::string_view control, std::uint32_t argb) {
    if (QWidget* w = boundControl(control)) {
        const QString colour = QColor::fromRgba(argb).name(QColor::HexRgb);
        w->setStyleSheet(QStringLiteral("background-color: %1;").arg(colour));
    }
}

void CMS_1_Page::startControlTimer(std::string_view control, int id, int ms) {
    if (window_ != nullptr && window_->controls() != nullptr) {
        window_->controls()->startControlTimer(qName(control), id, ms);
    }
}

void CMS_1_Page::stopControlTimer(std::string_view control, int id) {
    if (window_ != nullptr && window_->controls() != nullptr) {
        window_->controls()->stopControlTimer(qName(control), id);
    }
}

void CMS_1_Page::postMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window_ != nullptr) {
        window_->postMessage(message, wParam, lParam);
    }
}

std::optional<std::uint32_t> CMS_1_Page::pickColour(std::string_view anchorControl,
                                                    std::uint32_t argb) {
    QWidget* anchor = boundControl(anchorControl);
    CDpiColorWnd picker(&language_, argb, window_);
    picker.create();
    if (anchor != nullptr) {
        // 200 pixels left of the button, right below it.
        picker.placeAt(anchor->mapToGlobal(QPoint(-kPickerLeftOfButton, anchor->height())));
    } else {
        picker.placeCentred();
    }
    if (picker.runModal() != 1) {
        return std::nullopt;
    }
    return picker.currentColor();
}

void CMS_1_Page::openDesktopMouseSettings() {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    for (const auto& command : mouseSettingsCommands(desktop.toStdString())) {
        const QString program = QStandardPaths::findExecutable(QString::fromStdString(command[0]));
        if (program.isEmpty()) {
            continue;
        }
        QStringList arguments;
        for (std::size_t i = 1; i < command.size(); ++i) {
            arguments << QString::fromStdString(command[i]);
        }
        // Detached: the program never waits for the settings to close.
        if (QProcess::startDetached(program, arguments)) {
            return;
        }
    }
    CMsgWnd::ask(window_, &language_, "no_mouse_settings_text");
}

std::optional<std::u16string> CMS_1_Page::askProfileName(std::string_view titleKey) {
    CMS_1_ConfigName dialog(&language_, qName(titleKey), session_.profiles(), window_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.acceptedName().toStdU16String();
}

bool CMS_1_Page::confirm(std::string_view textKey) {
    return CMsgWnd::ask(window_, &language_, qName(textKey)) == 1;
}

void CMS_1_Page::tell(std::string_view textKey) {
    CMsgWnd::ask(window_, &language_, qName(textKey));
}

std::optional<std::string> CMS_1_Page::chooseProfileFile(bool forSaving) {
    // Qt's own dialog, or the desktop's through its portal where one runs.
    return chooseFile(window_, language_.text(QStringLiteral("profile_file_text")),
                      QStringLiteral("*.pro *.PRO"), QStringLiteral("pro"), QString(), forSaving);
}

QPoint CMS_1_Page::functionMenuPlace(const QRect& keyButton, int height, const QRect& screen) {
    QPoint at(keyButton.right() + 1, keyButton.top());
    if (at.y() + height >= screen.bottom()) {
        // Upwards, ending at the button's bottom, never above the screen.
        at.setY(std::max(screen.top(), keyButton.bottom() + 1 - height));
    }
    return at;
}

void CMS_1_Page::openFunctionMenu(std::string_view menuFile, std::string_view keyButton) {
    functionMenu_.reset();  // one open at a time
    QWidget* button = boundControl(keyButton);
    if (button == nullptr) {
        return;
    }
    auto menu = std::make_unique<PopupMenu>();
    const QString path = resourceFolder() + qName(menuFile);
    if (!menu->load(path, language_, [this](const MenuCommand& command) {
            if (menuRoute_) {
                menuRoute_(command);
            }
        })) {
        debug::write("function menu " + path.toStdString() + " is missing or malformed\n");
        return;
    }
    menu->menu().setAccessibleName(button->accessibleName());
    const QRect rect(button->mapToGlobal(QPoint(0, 0)), button->size());
    const QScreen* screen = button->screen();
    const QRect area =
        screen != nullptr ? screen->availableGeometry() : QRect(rect.topLeft(), QSize(1, 1));
    const QPoint at = functionMenuPlace(rect, menu->menu().sizeHint().height(), area);
    functionMenu_ = std::move(menu);
    functionMenu_->popup(at);
}

std::optional<ShortcutChoice> CMS_1_Page::askShortcut(const ShortcutChoice& start) {
    CShortcutWnd dialog(&language_, keys_, hooks_, hookMessages_, start, window_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.choice();
}

std::optional<MacroChoice> CMS_1_Page::pickMacro(const MacroChoice& start) {
    CMS_1_SelectMacro dialog(&language_, session_.macros(), start, window_);
    dialog.create();
    dialog.placeCentred();
    if (dialog.runModal() != 1) {
        return std::nullopt;
    }
    return dialog.choice();
}

void CMS_1_Page::openMacroEditor() {
    CMS_1_Macro editor(&language_, session_.macros(), session_.files(), session_.dataFolder(),
                       keys_, hooks_, hookMessages_, ticks_, window_);
    editor.create();
    editor.placeCentred();
    editor.runModal();
}

void CMS_1_Page::removeListRow(std::string_view list, int row) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        const QSignalBlocker quiet(l);
        delete l->takeItem(row);
    }
}

void CMS_1_Page::setListRowText(std::string_view list, int row, std::string_view text) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        if (QListWidgetItem* item = l->item(row)) {
            item->setText(qName(text));
        }
    }
}

void CMS_1_Page::appendListRow(std::string_view list, std::string_view text) {
    if (auto* l = qobject_cast<QListWidget*>(boundControl(list))) {
        l->addItem(qName(text));
        l->item(l->count() - 1)->setSizeHint(QSize(0, control::kProfileRowHeight));
    }
}

}  // namespace tvq
