// The colour picker of the DPI stages and the lighting: a free colour field,
// 16 swatches, red, green and blue as numbers, and a preview, all kept in
// step. It starts from and returns an opaque colour 0xFFRRGGBB.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/dialog_base.h"

class QLineEdit;

namespace tvq {

class ColorPalette;

class ColourPickerDialog final : public DialogBase {
  public:
    static constexpr int kSwatchCount = 16;
    // The sixteen fixed colours, in the order of the swatches.
    static constexpr std::array<std::uint32_t, kSwatchCount> kSwatches = {
        0xFF00FFFF, 0xFF6CFF00, 0xFF7F00FF, 0xFF007FFF, 0xFF0000FF, 0xFF7FFF00,
        0xFFFF5400, 0xFFFF7F00, 0xFFFFB400, 0xFFFFFF00, 0xFFFF0000, 0xFFFF00FF,
        0xFF1EB40A, 0xFF48B1FF, 0xFFFF48B0, 0xFFFFFFFF};

    ColourPickerDialog(const LanguageManager* language, std::uint32_t argb, QWidget* owner);

    std::uint32_t currentColor() const { return current_; }
    ColorPalette* palette() const { return palette_; }

  protected:
    void setup() override;

  private:
    // The colour came from the palette or a swatch: edits and preview follow.
    void takeColor(std::uint32_t argb);
    // One edit's text changed: that channel follows, the other edits stay.
    void onChannelText(int channel, QLineEdit* edit, const QString& text);
    void showRgb();
    void showPreview();

    const LanguageManager* language_;
    std::uint32_t current_;
    ColorPalette* palette_ = nullptr;
    std::array<QLineEdit*, 3> edits_{};
};

}  // namespace tvq
