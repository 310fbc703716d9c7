#include "dialogs/macro_editor_dialog.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>

#include "base/debug.h"
#include "dialogs/message_dialog.h"
#include "input/key_names.h"
#include "toolkit/empty_list_hint.h"
#include "toolkit/key_field.h"
#include "toolkit/language.h"
#include "toolkit/layout.h"
#include "toolkit/library_messages.h"
#include "toolkit/text_limit.h"

namespace tvq {
namespace me = macroeditor;
namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPixmap skin(const char* file) {
    return QPixmap(resourceFolder() + QStringLiteral("skins/") + QString::fromUtf8(file));
}

// The action list's rows carry the row widget; the item's text is what a
// screen reader says of the row.
QString spoken(const ActionRowText& t) {
    return QStringLiteral("%1, %2, %3 ms").arg(q(t.key), q(t.action), q(t.delay));
}

}  // namespace

// The editor's controls on the dialog's layout.
class MacroEditorDialog::View final : public MacroEditorView {
  public:
    explicit View(MacroEditorDialog& dialog) : dialog_(dialog) {
        QFile row(resourceFolder() + QStringLiteral("keylistitem.xml"));
        if (row.open(QIODevice::ReadOnly)) {
            rowTemplate_ = row.readAll();
        } else {
            debug::write("no keylistitem.xml: action rows are plain text\n");
        }
        scroll_.setSingleShot(true);
        QObject::connect(&scroll_, &QTimer::timeout, [this] { scrollToPendingRow(); });
    }

    void appendMacroRow(std::string_view name, int height) override;
    void removeMacroRow(int row) override;
    void setMacroRowText(int row, std::string_view name) override;
    void selectMacroRow(int row) override;
    void scrollMacroListToEnd() override;
    void clearActionRows() override;
    void appendActionRow(const ActionRowText& row) override;
    void setActionRows(const std::vector<ActionRowText>& rows) override;
    void setActionRow(int row, const ActionRowText& text) override;
    void removeActionRow(int row) override;
    void selectActionRow(int row) override;
    void scrollActionRowIntoViewSoon(int row) override;
    void scrollActionListToEnd() override;
    void setFieldText(std::string_view control, std::string_view text) override;
    std::string fieldText(std::string_view control) const override;
    void showControl(std::string_view control, bool shown) override;
    void enableControl(std::string_view control, bool enabled) override;
    void checkControl(std::string_view control, bool checked) override;
    void showEditPage(int page) override;
    void selectMouseComboItem(int item) override;

  private:
    template <class T = QWidget>
    T* control(std::string_view name) const {
        return dialog_.control<T>(q(name));
    }
    void fillRow(QWidget* row, const ActionRowText& text) const;
    void scrollToPendingRow();

    MacroEditorDialog& dialog_;
    QByteArray rowTemplate_;
    QTimer scroll_;  // scrolls the action list to a row it just got
    int pendingRow_ = -1;
};

// The editor's questions and file dialogs, over the dialog.
class MacroEditorDialog::Dialogs final : public MacroEditorDialogs {
  public:
    explicit Dialogs(MacroEditorDialog& dialog) : dialog_(dialog) {}
    bool confirm(std::string_view textKey, const std::vector<std::string>& arguments,
                 std::string_view verbKey) override {
        return MessageDialog::ask(&dialog_, dialog_.language(), textKey, arguments, verbKey);
    }
    void tell(std::string_view textKey, const std::vector<std::string>& arguments) override {
        MessageDialog::tell(&dialog_, dialog_.language(), textKey, arguments);
    }
    std::optional<std::string> chooseMacroFile(bool forSaving) override {
        const QString description =
            dialog_.language() != nullptr
                ? dialog_.language()->text(QStringLiteral("macro_file_text"))
                : QString();
        return chooseFile(&dialog_, description, QStringLiteral("*.macro *.MACRO"),
                          QStringLiteral("macro"), QString::fromStdString(dialog_.dataFolder_),
                          forSaving);
    }

  private:
    MacroEditorDialog& dialog_;
};

MacroEditorDialog::MacroEditorDialog(const LanguageManager* language, MacroStore& store,
                                     FileSystem& files, std::string dataFolder,
                                     const KeyNames& keys, InputHook* hook,
                                     LibraryMessages* messages, const Clock& ticks, QWidget* owner,
                                     MacroBindings* bindings, QString layoutFile)
    : DialogBase("MacroEditorDialog", std::move(layoutFile), language, owner),
      dataFolder_(std::move(dataFolder)),
      keys_(keys),
      messages_(messages),
      view_(std::make_unique<View>(*this)),
      dialogs_(std::make_unique<Dialogs>(*this)),
      editor_(std::make_unique<MacroEditor>(*view_, hook != nullptr ? *hook : noHook_, messages,
                                            *dialogs_, store, files, *language, keys, ticks,
                                            bindings)) {}

MacroEditorDialog::~MacroEditorDialog() {
    disconnect(hookInput_);
    editor_.reset();  // closes it: a running recording is kept
}

void MacroEditorDialog::setup() {
    if (language() != nullptr) {
        setWindowTitle(language()->text(QStringLiteral("macro_editor_title_text")));
    }
    bind();
    if (auto* actions = control<QListWidget>(me::kActionList); actions && language() != nullptr) {
        EmptyListHint::attach(actions, language()->text(QStringLiteral("macro_no_actions_text")));
    }
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    editor_->open(session == "wayland");
    if (!editor_->canRecord()) {
        if (QWidget* record = control(me::kRecord)) {
            record->setAccessibleDescription(
                language() != nullptr ? language()->text(QStringLiteral("record_no_hook_text"))
                                      : QString());
            record->setToolTip(record->accessibleDescription());
        }
    }
    if (messages_ != nullptr) {
        hookInput_ = connect(messages_, &LibraryMessages::hookInput, this,
                             [this](quintptr w, qintptr l) { editor_->onHookInput(w, l); });
    }
    // The keyboard starts in the macro list, not on a button that closes.
    if (QWidget* list = control(me::kMacroList)) {
        list->setFocus();
    }
}

void MacroEditorDialog::fitWidth(int room) {
    auto* columns = findChild<QBoxLayout*>(QStringLiteral("macro_columns"));
    if (columns == nullptr || layout() == nullptr) {
        return;
    }
    columns->setDirection(QBoxLayout::LeftToRight);
    layout()->activate();
    if (minimumSizeHint().width() > room) {
        columns->setDirection(QBoxLayout::TopToBottom);
        layout()->activate();
    }
}

void MacroEditorDialog::bind() {
    ControlBinder* b = controls();
    if (b == nullptr) {
        return;  // no layout: the window stays empty
    }
    b->onClick(me::kClose, [this] { finish(1); });
    MacroEditor& e = *editor_;
    b->onClick(me::kAdd, [&e] { e.addMacro(); });
    b->onClick(me::kDelete, [&e] { e.deleteMacro(); });
    b->onClick(me::kUp, [&e] { e.moveAction(-1); });
    b->onClick(me::kDown, [&e] { e.moveAction(1); });
    b->onClick(me::kDeleteAction, [&e] { e.deleteAction(); });
    b->onClick(me::kClear, [&e] { e.clearActions(); });
    b->onClick(me::kUndo, [&e] { e.undo(); });
    // Ctrl+Z takes back a change to the actions; in a text field it is the
    // field's own undo.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
            [&e] { e.undo(); });
    b->onClick(me::kImport, [&e] { e.importMacro(); });
    b->onClick(me::kExport, [&e] { e.exportMacro(); });
    b->onSelectChanged(me::kRecordDelay, [&e] { e.setDelayMode(DelayMode::kRecorded); });
    b->onSelectChanged(me::kDefaultDelay, [&e] { e.setDelayMode(DelayMode::kDefault); });
    b->onSelectChanged(me::kNoDelay, [&e] { e.setDelayMode(DelayMode::kNone); });
    for (int n = 1; n <= me::kInsertButtonCount; ++n) {
        b->onClick(q(me::kInsertButton + std::to_string(n) + "_btn"),
                   [&e, n] { e.insertClick(n); });
    }
    b->onToggled(me::kInsertMouse, [&e](bool on) { e.showMouseInsert(on); });
    b->onToggledBy(me::kRecord, [&e](bool, ControlBinder::Activation by) {
        using In = MacroEditor::RecordInput;
        e.onRecordButton(by == ControlBinder::Activation::kPointer    ? In::kPointer
                         : by == ControlBinder::Activation::kKeyboard ? In::kKeyboard
                                                                      : In::kOther);
    });
    b->onItemSelect(me::kMacroList, [&e](int row) { e.onMacroSelect(row); });
    b->onItemSelect(me::kActionList, [&e](int row) { e.onActionSelect(row); });
    b->onItemSelect(me::kMouseCombo, [&e](int item) { e.onMouseComboSelect(item); });
    // What was typed in a field is taken when the field is left.
    b->onFocus(me::kNameEdit, [&e](bool in) {
        if (!in) {
            e.nameLeft();
        }
    });
    b->onFocus(me::kDefaultDelayEdit, [&e](bool in) {
        if (!in) {
            e.defaultDelayLeft();
        }
    });
    for (const char* c : {me::kKeyDelay, me::kMouseDelay}) {
        b->onFocus(c, [&e, c](bool in) {
            if (!in) {
                e.actionDelayLeft(c);
            }
        });
    }
    b->onFocus(me::kKeyField, [&e](bool in) { e.keyFieldFocused(in); });
    b->onHover(me::kRecord, [this](bool entered) { editor_->onRecordButtonHover(entered); });
    if (auto* field = control<QLineEdit>(me::kKeyField)) {
        new KeyField(field, keys_, [this](std::uint32_t vk, bool down) {
            if (down) {
                editor_->onOwnKey(vk);
            }
        });
    }
    if (auto* name = control<QLineEdit>(me::kNameEdit)) {
        limitToWholeCharacters(name, static_cast<int>(layout::macro::kNameMaxChars));
    }
    // Enter ends the edit of the field it is typed in, never the editor:
    // no button is the default.
    for (auto* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    if (auto* delay = control<QLineEdit>(me::kDefaultDelayEdit)) {
        connect(delay, &QLineEdit::returnPressed, this, [this] { editor_->defaultDelayLeft(); });
    }
    for (const char* c : {me::kKeyDelay, me::kMouseDelay}) {
        if (auto* delay = control<QLineEdit>(c)) {
            connect(delay, &QLineEdit::returnPressed, this,
                    [this, c] { editor_->actionDelayLeft(c); });
        }
    }
    // The name is taken when the field is left; Enter takes it too.
    if (auto* name = control<QLineEdit>(me::kNameEdit)) {
        connect(name, &QLineEdit::returnPressed, this, [this] { editor_->nameLeft(); });
    }
    static constexpr std::pair<const char*, const char*> kBuddies[] = {
        {"name_label", me::kNameEdit},          {"key_field_label", me::kKeyField},
        {"key_delay_label", me::kKeyDelay},     {"mouse_field_label", me::kMouseCombo},
        {"mouse_delay_label", me::kMouseDelay}, {"default_delay_label", me::kDefaultDelayEdit}};
    for (const auto& [label, field] : kBuddies) {
        if (auto* w = control<QLabel>(label)) {
            w->setBuddy(control(field));
        }
    }
}

void MacroEditorDialog::done(int result) {
    editor_->close();  // a running recording is kept; closing again does nothing
    DialogBase::done(result);
}

// The view.

void MacroEditorDialog::View::appendMacroRow(std::string_view name, int height) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        auto* item = new QListWidgetItem(q(name), list);
        item->setSizeHint(QSize(0, height));
    }
}

void MacroEditorDialog::View::removeMacroRow(int row) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(row);
    }
}

void MacroEditorDialog::View::setMacroRowText(int row, std::string_view name) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        if (QListWidgetItem* item = list->item(row)) {
            item->setText(q(name));
        }
    }
}

void MacroEditorDialog::View::selectMacroRow(int row) {
    ControlBinder::selectRowQuietly(control<QListWidget>(me::kMacroList), row);
}

void MacroEditorDialog::View::scrollMacroListToEnd() {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        list->scrollToBottom();
    }
}

void MacroEditorDialog::View::fillRow(QWidget* row, const ActionRowText& t) const {
    if (auto* key = row->findChild<QLabel*>("key")) {
        key->setText(q(t.key));
    }
    if (auto* action = row->findChild<QLabel*>("action")) {
        action->setText(q(t.action));
    }
    if (auto* delay = row->findChild<QLabel*>("delay")) {
        delay->setText(q(t.delay));
    }
    if (auto* image = row->findChild<QLabel*>("key_image")) {
        image->setPixmap(skin(t.mouse ? "mouse.png" : "keyboard_key_action.png"));
    }
    if (auto* image = row->findChild<QLabel*>("action_image")) {
        image->setPixmap(skin(t.press ? "macro_key_down.png" : "macro_key_up.png"));
    }
}

void MacroEditorDialog::View::clearActionRows() {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        const QSignalBlocker quiet(list);
        list->clear();
    }
}

void MacroEditorDialog::View::appendActionRow(const ActionRowText& t) {
    auto* list = control<QListWidget>(me::kActionList);
    if (list == nullptr) {
        return;
    }
    const QSignalBlocker quiet(list);
    auto* item = new QListWidgetItem(list);
    item->setSizeHint(QSize(0, 30));
    item->setData(Qt::AccessibleTextRole, spoken(t));
    QWidget* row = rowTemplate_.isEmpty() ? nullptr : buildWidget(rowTemplate_, list);
    if (row == nullptr) {
        item->setText(spoken(t));  // without the template, the text alone
        return;
    }
    fillRow(row, t);
    list->setItemWidget(item, row);
}

void MacroEditorDialog::View::setActionRows(const std::vector<ActionRowText>& rows) {
    auto* list = control<QListWidget>(me::kActionList);
    if (list == nullptr) {
        return;
    }
    const int wanted = static_cast<int>(rows.size());
    const int kept = std::min(list->count(), wanted);
    // A recorded event adds one row; the others only change their text.
    for (int i = 0; i < kept; ++i) {
        setActionRow(i, rows[static_cast<std::size_t>(i)]);
    }
    while (list->count() > wanted) {
        removeActionRow(list->count() - 1);
    }
    for (int i = kept; i < wanted; ++i) {
        appendActionRow(rows[static_cast<std::size_t>(i)]);
    }
}

void MacroEditorDialog::View::setActionRow(int row, const ActionRowText& t) {
    auto* list = control<QListWidget>(me::kActionList);
    QListWidgetItem* item = list != nullptr ? list->item(row) : nullptr;
    if (item == nullptr) {
        return;
    }
    item->setData(Qt::AccessibleTextRole, spoken(t));
    if (QWidget* w = list->itemWidget(item)) {
        fillRow(w, t);
    } else {
        item->setText(spoken(t));
    }
}

void MacroEditorDialog::View::removeActionRow(int row) {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(row);
    }
}

void MacroEditorDialog::View::selectActionRow(int row) {
    ControlBinder::selectRowQuietly(control<QListWidget>(me::kActionList), row);
}

void MacroEditorDialog::View::scrollActionListToEnd() {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        list->scrollToBottom();
    }
}

void MacroEditorDialog::View::setFieldText(std::string_view c, std::string_view text) {
    QWidget* w = control(c);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(q(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(q(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(q(text));
    }
}

std::string MacroEditorDialog::View::fieldText(std::string_view c) const {
    if (const auto* edit = control<QLineEdit>(c)) {
        // The delays read digits of any script as digits.
        const bool number =
            c == me::kDefaultDelayEdit || c == me::kKeyDelay || c == me::kMouseDelay;
        return (number ? asciiDigits(edit->text()) : edit->text()).toStdString();
    }
    return {};
}

void MacroEditorDialog::View::showControl(std::string_view c, bool visible) {
    if (QWidget* w = control(c)) {
        w->setVisible(visible);
    }
}

void MacroEditorDialog::View::enableControl(std::string_view c, bool enabled) {
    if (QWidget* w = control(c)) {
        w->setEnabled(enabled);
    }
}

void MacroEditorDialog::View::checkControl(std::string_view c, bool checked) {
    ControlBinder::setCheckedQuietly(control<QAbstractButton>(c), checked);
}

void MacroEditorDialog::View::showEditPage(int page) {
    if (auto* pages = control<QStackedWidget>(me::kEditTab)) {
        pages->setCurrentIndex(page);
        // Hidden without a selected action, keeping its room: the list does
        // not jump as actions are selected.
        QSizePolicy policy = pages->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        pages->setSizePolicy(policy);
        pages->setVisible(page != me::kPageClosed);
    }
}

void MacroEditorDialog::View::selectMouseComboItem(int item) {
    ControlBinder::selectQuietly(control<QComboBox>(me::kMouseCombo), item);
}

void MacroEditorDialog::View::scrollActionRowIntoViewSoon(int row) {
    pendingRow_ = row;
    scroll_.start(me::kListScrollDelayMs);
}

void MacroEditorDialog::View::scrollToPendingRow() {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        if (QListWidgetItem* item = list->item(pendingRow_)) {
            list->scrollToItem(item);
        }
    }
}

}  // namespace tvq
