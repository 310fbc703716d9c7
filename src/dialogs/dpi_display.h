// The on-screen DPI display: a small borderless window near the lower right
// corner of the work area, on top of everything, that never takes the focus.
#pragma once

#include "toolkit/window_base.h"

class QLabel;

namespace tvq {

class DpiDisplay final : public WindowBase {
  public:
    explicit DpiDisplay(const LanguageManager* language);

    // Stores the text and shows it when the label exists.
    void setText(const QString& text);
    const QString& text() const { return text_; }

    // 10 pixels from the right and bottom edges of the work area, 200 x 50.
    static QRect placement(const QRect& workArea);

  protected:
    void setup() override;

  private:
    QLabel* label_ = nullptr;
    QString text_;
};

}  // namespace tvq
