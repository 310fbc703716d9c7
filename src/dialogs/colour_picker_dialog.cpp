#include "dialogs/colour_picker_dialog.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editing/colour_channels.h"
#include "toolkit/color_palette.h"
#include "toolkit/language.h"
#include "toolkit/text_limit.h"
#include "toolkit/window_style.h"

namespace tvq {
namespace {

constexpr const char* kEditNames[3] = {"r_edit", "g_edit", "b_edit"};
constexpr const char* kEditKeys[3] = {"a11y_red_text", "a11y_green_text", "a11y_blue_text"};

QString cssColor(std::uint32_t argb) {
    return QColor::fromRgb(argb).name(QColor::HexRgb);
}

}  // namespace

ColourPickerDialog::ColourPickerDialog(const LanguageManager* language, std::uint32_t argb,
                                       QWidget* owner)
    : DialogBase("ColourPickerDialog", "DpiColorDialog.xml", language, owner),
      language_(language),
      current_(0xFF000000u | argb) {}

void ColourPickerDialog::setup() {
    const auto text = [this](const char* key) {
        return language_ != nullptr ? language_->text(QString::fromUtf8(key)) : QString();
    };
    setWindowTitle(text("color_title_text"));
    controls()->onClick("confirm_btn", [this] { finish(1); });
    controls()->onClick("cancel_btn", [this] { finish(0); });
    if (auto* ok = control<QPushButton>("confirm_btn")) {
        ok->setDefault(true);
    }
    // The colour field lives in the layout's "ColorPallet" container.
    if (QWidget* holder = controls()->require("ColorPallet")) {
        palette_ = new ColorPalette(holder);
        auto* box = new QVBoxLayout(holder);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(palette_);
        palette_->setAccessibleName(text("a11y_palette_text"));
        const auto fromPalette = [this](const QColor& c) { takeColor(c.rgb()); };
        connect(palette_, &ColorPalette::colorChanged, this, fromPalette);
        connect(palette_, &ColorPalette::colorChangedButtonUp, this, fromPalette);
    }
    for (int c = 0; c < 3; ++c) {
        edits_[static_cast<std::size_t>(c)] = control<QLineEdit>(kEditNames[c]);
        if (QLineEdit* edit = edits_[static_cast<std::size_t>(c)]) {
            edit->setAccessibleName(text(kEditKeys[c]));
            controls()->onTextChanged(
                kEditNames[c], [this, c, edit](const QString& t) { onChannelText(c, edit, t); });
        }
    }
    for (int n = 1; n <= kSwatchCount; ++n) {
        const QString name = QStringLiteral("mouse_dpi_color_%1").arg(n);
        const std::uint32_t argb = kSwatches[static_cast<std::size_t>(n - 1)];
        if (QWidget* swatch = control(name)) {
            swatch->setAccessibleName(text("a11y_swatch_text").arg(n));
            swatch->setProperty(kSwatchColourProperty, QColor::fromRgb(argb));
        }
        controls()->onClick(name, [this, argb] {
            if (palette_ != nullptr) {
                palette_->setSelectedColor(QColor::fromRgb(argb));
            }
            takeColor(argb);
        });
    }
    if (QWidget* preview = control("color_show_control")) {
        preview->setAccessibleName(text("a11y_preview_text"));
    }
    if (palette_ != nullptr) {
        palette_->setSelectedColor(QColor::fromRgb(current_));
    }
    showPreview();
    showRgb();
}

void ColourPickerDialog::takeColor(std::uint32_t argb) {
    current_ = 0xFF000000u | argb;
    showPreview();
    showRgb();
}

void ColourPickerDialog::onChannelText(int channel, QLineEdit* edit, const QString& typed) {
    // Digits of any script read as digits, and the field shows them so.
    const QString text = asciiDigits(typed);
    const ChannelText parsed = channelFromText(text.toStdString());
    if (parsed.replacement || text != typed) {
        const QSignalBlocker quiet(edit);
        edit->setText(parsed.replacement ? QString::fromStdString(*parsed.replacement) : text);
    }
    current_ = withChannel(current_, channel, parsed.value);
    if (palette_ != nullptr) {
        palette_->setSelectedColor(QColor::fromRgb(current_));
    }
    showPreview();
}

void ColourPickerDialog::showRgb() {
    const int values[3] = {static_cast<int>((current_ >> 16) & 0xFF),
                           static_cast<int>((current_ >> 8) & 0xFF),
                           static_cast<int>(current_ & 0xFF)};
    for (int c = 0; c < 3; ++c) {
        if (QLineEdit* edit = edits_[static_cast<std::size_t>(c)]) {
            const QSignalBlocker quiet(edit);
            edit->setText(QString::number(values[c]));
        }
    }
}

void ColourPickerDialog::showPreview() {
    if (QWidget* preview = control("color_show_control")) {
        preview->setStyleSheet(
            QStringLiteral("background-color: %1; border-radius: 4px;").arg(cssColor(current_)));
        preview->setAccessibleDescription(cssColor(current_));
    }
}

}  // namespace tvq
