#include "dialogs/macro_picker_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "base/text.h"
#include "editing/macro_choice.h"
#include "macros/macro_store.h"
#include "toolkit/language.h"

namespace tvq {
namespace {

constexpr int kRowHeight = 22;
constexpr int kRepeatOptions = 3;

QString option(int n) {
    return QStringLiteral("repeat_%1").arg(n);
}

}  // namespace

MacroPickerDialog::MacroPickerDialog(const LanguageManager* language, const MacroStore& macros,
                                     const MacroChoice& start, QWidget* owner)
    : DialogBase("MacroPickerDialog", "MS/MS_1/selectmacro.xml", language, owner),
      language_(language),
      macros_(macros),
      choice_(start) {}

void MacroPickerDialog::setup() {
    const QString title = language_ != nullptr
                              ? language_->text(QStringLiteral("select_macro_title_text"))
                              : QString();
    setWindowTitle(title);
    controls()->onClick("btn_ok", [this] {
        // Enter in the count field confirms without leaving it first.
        takeLoopCount();
        finish(1);
    });
    controls()->onClick("btn_cancel", [this] { finish(0); });
    controls()->onItemSelect("list_macro", [this](int row) {
        choice_.index = row;
        if (auto* ok = control<QPushButton>("btn_ok")) {
            ok->setEnabled(row >= 0);
        }
    });
    for (int n = 1; n <= kRepeatOptions; ++n) {
        controls()->onSelectChanged(option(n), [this, n] { selectRepeatMode(n - 1); });
    }
    controls()->onTextChanged("edit_loop_time", [this](const QString& t) { filterLoopText(t); });
    controls()->onFocus("edit_loop_time", [this](bool in) {
        if (!in) {
            takeLoopCount();
        }
    });

    if (auto* list = control<QListWidget>("list_macro")) {
        for (std::size_t i = 0; i < macros_.size(); ++i) {
            const std::u16string_view name = fieldText(macros_.at(i).name);
            auto* item = new QListWidgetItem(
                QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())), list);
            item->setSizeHint(QSize(0, kRowHeight));
        }
        const bool named = choice_.index >= 0 && choice_.index < list->count();
        ControlBinder::selectRowQuietly(list, named ? choice_.index : -1);
        if (named) {
            list->scrollToItem(list->item(choice_.index));
        } else {
            choice_.index = -1;
        }
        list->setFocus();
    }
    if (auto* button = control<QRadioButton>(option(choice_.repeatMode + 1))) {
        button->setChecked(true);  // with its notification: the count row follows
    }
    selectRepeatMode(choice_.repeatMode);
    if (auto* edit = control<QLineEdit>("edit_loop_time")) {
        edit->setText(QString::number(choice_.loopCount));
        if (auto* label = control<QLabel>("loop_label")) {
            label->setBuddy(edit);
        }
    }
    if (auto* ok = control<QPushButton>("btn_ok")) {
        ok->setDefault(true);
        ok->setEnabled(choice_.index >= 0);  // a macro is to be chosen first
    }
}

void MacroPickerDialog::selectRepeatMode(int mode) {
    choice_.repeatMode = mode;
    if (QWidget* row = control("hor_loop_time")) {
        row->setVisible(mode == 0);
    }
}

void MacroPickerDialog::filterLoopText(const QString& text) {
    const std::u16string digits = digitsOnly(text.toStdU16String());
    if (digits.size() == static_cast<std::size_t>(text.size())) {
        return;
    }
    if (auto* edit = control<QLineEdit>("edit_loop_time")) {
        edit->setText(QString::fromStdU16String(digits));  // notifies again, with nothing to drop
        edit->setCursorPosition(edit->text().size());
    }
}

void MacroPickerDialog::takeLoopCount() {
    auto* edit = control<QLineEdit>("edit_loop_time");
    if (edit == nullptr) {
        return;
    }
    choice_.loopCount = loopCountFromText(edit->text().toStdU16String());
    const QString shown = QString::number(choice_.loopCount);
    if (edit->text() != shown) {
        edit->setText(shown);
    }
}

}  // namespace tvq
