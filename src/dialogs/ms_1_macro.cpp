#include "dialogs/ms_1_macro.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QStackedWidget>

#include "base/debug.h"
#include "dialogs/msg_wnd.h"
#include "input/key_names.h"
#include "toolkit/key_field.h"
#include "toolkit/language.h"
#include "toolkit/layout.h"
#include "toolkit/library_messages.h"

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

CMS_1_Macro::CMS_1_Macro(const LanguageManager* language, MacroStore& store, FileSystem& files,
                         std::string dataFolder, const KeyNames& keys, const HookFunctions* hooks,
                         LibraryMessages* messages, const Clock& ticks, QWidget* owner,
                         QString layoutFile)
    : DialogBase("MS_1_Macro", std::move(layoutFile), language, owner),
      dataFolder_(std::move(dataFolder)),
      keys_(keys),
      hooks_(hooks),
      messages_(messages),
      editor_(std::make_unique<MacroEditor>(*this, *this, *this, store, files, *language, keys,
                                            ticks)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QFile row(resourceFolder() + QStringLiteral("keylistitem.xml"));
    if (row.open(QIODevice::ReadOnly)) {
        rowTemplate_ = row.readAll();
    } else {
        debug::write("no keylistitem.xml: action rows are plain text\n");
    }
}

CMS_1_Macro::~CMS_1_Macro() {
    if (!closed_) {
        editor_->close();
    }
    disconnect(hookInput_);
}

void CMS_1_Macro::setup() {
    if (language() != nullptr) {
        setWindowTitle(language()->text(QStringLiteral("macro_editor_title_text")));
    }
    bind();
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    editor_->open(session == "wayland");
    if (!available()) {
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
}

void CMS_1_Macro::bind() {
    ControlBinder* b = controls();
    if (b == nullptr) {
        return;  // no layout: the window stays empty
    }
    b->onClick(me::kExit, [this] { finish(1); });
    for (const char* c : {me::kAdd, me::kDelete, me::kUp, me::kDown, me::kDeleteAction, me::kClear,
                          me::kSave, me::kCancel, me::kImport, me::kExport}) {
        b->onClick(c, [this, c] { editor_->onClick(c); });
    }
    for (const char* c : {me::kRecordDelay, me::kDefaultDelay, me::kNoDelay}) {
        b->onSelectChanged(c, [this, c] { editor_->onClick(c); });
    }
    for (int n = 1; n <= me::kInsertButtonCount; ++n) {
        const std::string c = me::kInsertButton + std::to_string(n) + "_btn";
        b->onClick(q(c), [this, c] { editor_->onClick(c); });
    }
    for (const char* c : {me::kInsertMouse, me::kRecord, me::kEditCheck}) {
        b->onCheckClick(c, [this, c](bool on) { editor_->onCheckClick(c, on); });
    }
    b->onItemSelect(me::kMacroList, [this](int row) { editor_->onMacroSelect(row); });
    b->onItemSelect(me::kActionList, [this](int row) { editor_->onActionSelect(row); });
    b->onItemSelect(me::kMouseCombo, [this](int item) { editor_->onMouseComboSelect(item); });
    for (const char* c :
         {me::kNameEdit, me::kDefaultDelayEdit, me::kKeyDelay, me::kMouseDelay, me::kKeyField}) {
        b->onFocus(c, [this, c](bool in) { editor_->onFocus(c, in); });
    }
    b->onHover(me::kRecord, [this](bool entered) { editor_->onRecordButtonHover(entered); });
    if (auto* field = control<QLineEdit>(me::kKeyField)) {
        new KeyField(field, keys_, [this](std::uint32_t vk, bool down) {
            if (down) {
                editor_->onOwnKey(vk);
            }
        });
    }
    if (auto* name = control<QLineEdit>(me::kNameEdit)) {
        name->setMaxLength(static_cast<int>(layout::macro::kNameMaxChars));
    }
    // The name is taken when the field is left; Enter leaves it too.
    if (auto* name = control<QLineEdit>(me::kNameEdit)) {
        connect(name, &QLineEdit::returnPressed, this,
                [this] { editor_->onFocus(me::kNameEdit, false); });
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
    b->onTimer(me::kActionList, [this](int id) { editor_->onTimer(id); });
}

void CMS_1_Macro::done(int result) {
    if (!closed_) {
        closed_ = true;
        editor_->close();  // a running recording is kept
    }
    DialogBase::done(result);
}

// The view.

void CMS_1_Macro::appendMacroRow(std::string_view name, int height) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        auto* item = new QListWidgetItem(q(name), list);
        item->setSizeHint(QSize(0, height));
    }
}

void CMS_1_Macro::removeMacroRow(int row) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(row);
    }
}

void CMS_1_Macro::setMacroRowText(int row, std::string_view name) {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        if (QListWidgetItem* item = list->item(row)) {
            item->setText(q(name));
        }
    }
}

void CMS_1_Macro::selectMacroRow(int row) {
    ControlBinder::selectRowQuietly(control<QListWidget>(me::kMacroList), row);
}

void CMS_1_Macro::scrollMacroListToEnd() {
    if (auto* list = control<QListWidget>(me::kMacroList)) {
        list->scrollToBottom();
    }
}

void CMS_1_Macro::fillRow(QWidget* row, const ActionRowText& t) {
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

void CMS_1_Macro::clearActionRows() {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        const QSignalBlocker quiet(list);
        list->clear();
    }
}

void CMS_1_Macro::appendActionRow(const ActionRowText& t) {
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

void CMS_1_Macro::setActionRows(const std::vector<ActionRowText>& rows) {
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

void CMS_1_Macro::setActionRow(int row, const ActionRowText& t) {
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

void CMS_1_Macro::removeActionRow(int row) {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        const QSignalBlocker quiet(list);
        delete list->takeItem(row);
    }
}

void CMS_1_Macro::selectActionRow(int row) {
    ControlBinder::selectRowQuietly(control<QListWidget>(me::kActionList), row);
}

void CMS_1_Macro::scrollActionRowIntoView(int row) {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        if (QListWidgetItem* item = list->item(row)) {
            list->scrollToItem(item);
        }
    }
}

void CMS_1_Macro::scrollActionListToEnd() {
    if (auto* list = control<QListWidget>(me::kActionList)) {
        list->scrollToBottom();
    }
}

void CMS_1_Macro::setText(std::string_view c, std::string_view text) {
    QWidget* w = control(q(c));
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(q(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(q(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(q(text));
    }
}

std::string CMS_1_Macro::text(std::string_view c) const {
    if (const auto* edit = control<QLineEdit>(q(c))) {
        return edit->text().toStdString();
    }
    return {};
}

void CMS_1_Macro::setVisible(std::string_view c, bool visible) {
    if (QWidget* w = control(q(c))) {
        w->setVisible(visible);
    }
}

void CMS_1_Macro::setEnabled(std::string_view c, bool enabled) {
    if (QWidget* w = control(q(c))) {
        w->setEnabled(enabled);
    }
}

void CMS_1_Macro::setChecked(std::string_view c, bool checked) {
    ControlBinder::setCheckedQuietly(control<QAbstractButton>(q(c)), checked);
}

void CMS_1_Macro::showEditPage(int page) {
    if (auto* pages = control<QStackedWidget>(me::kEditTab)) {
        pages->setCurrentIndex(page);
    }
}

void CMS_1_Macro::selectMouseComboItem(int item) {
    ControlBinder::selectQuietly(control<QComboBox>(me::kMouseCombo), item);
}

void CMS_1_Macro::startTimer(int id, int ms) {
    if (controls() != nullptr) {
        controls()->startControlTimer(me::kActionList, id, ms);
    }
}

void CMS_1_Macro::stopTimer(int id) {
    if (controls() != nullptr) {
        controls()->stopControlTimer(me::kActionList, id);
    }
}

// The hook.

bool CMS_1_Macro::available() const {
    return hooks_ != nullptr && messages_ != nullptr && hooks_->installhook != nullptr;
}
void CMS_1_Macro::install() {
    if (available()) {
        hooks_->installhook(messages_);
    }
}
void CMS_1_Macro::remove() {
    if (hooks_ != nullptr && hooks_->removehook != nullptr) {
        hooks_->removehook();
    }
}
void CMS_1_Macro::enableKeys(bool on) {
    if (hooks_ != nullptr && hooks_->enablehook != nullptr) {
        hooks_->enablehook(on ? 1 : 0);
    }
}
void CMS_1_Macro::enableMouse(bool on) {
    if (hooks_ != nullptr && hooks_->enablemousehook != nullptr) {
        hooks_->enablemousehook(on ? 1 : 0);
    }
}
void CMS_1_Macro::removeMouse() {
    if (hooks_ != nullptr && hooks_->removemousehook != nullptr) {
        hooks_->removemousehook();
    }
}
void CMS_1_Macro::enableWheel(bool on) {
    if (hooks_ != nullptr && hooks_->mousewheelenable != nullptr) {
        hooks_->mousewheelenable(on ? 1 : 0);
    }
}

// Dialogs.

bool CMS_1_Macro::confirm(std::string_view textKey) {
    return CMsgWnd::ask(this, language(), q(textKey)) == 1;
}

void CMS_1_Macro::tell(std::string_view textKey) {
    CMsgWnd::ask(this, language(), q(textKey));
}

std::optional<std::string> CMS_1_Macro::chooseMacroFile(bool forSaving) {
    const QString description =
        language() != nullptr ? language()->text(QStringLiteral("macro_file_text")) : QString();
    return chooseFile(this, description, QStringLiteral("*.macro *.MACRO"), QStringLiteral("macro"),
                      QString::fromStdString(dataFolder_), forSaving);
}

}  // namespace tvq
