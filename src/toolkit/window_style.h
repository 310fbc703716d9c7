#pragma once

// The main window's look, drawn by a style of ours over the application's
// style instead of a style sheet. A sheet over the page's two hundred widgets
// costs a polish of each against every rule when the page is built and a
// cache of about 6 KB per widget for as long as it lives; this draws the same
// shapes in the scheme's colours at paint time.
//
// The main window and every dialog are given the look by dressWindow(); Qt's
// own windows (file dialogs, menus) keep the application's style, with the
// same check boxes, radio buttons and drop-down lists. A suggested answer is
// marked "suggested" in its layout (the property "class"), one that throws
// something away "destructive" (a dynamic property set by the dialog).

#include <QProxyStyle>

class QWidget;

namespace tvq {

// The dynamic property of the page's colour swatches: the colour they show.
inline constexpr char kSwatchColourProperty[] = "swatchColour";

class WindowStyle final : public QProxyStyle {
  public:
    WindowStyle();

    void polish(QWidget* widget) override;
    using QProxyStyle::polish;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};

// Gives root and every widget under it the window's look: the application's
// style becomes a WindowStyle (once), and each widget gets the fonts, colours
// and sizes of its kind. Called again for parts built later; the colours
// follow every later change of the application's scheme by themselves.
void dressWindow(QWidget* root);
// A part built for a dressed window, before it is put in: its widgets get
// the look of their kinds now, so that nothing is laid out in a look they
// lose at once. The font family and the scheme come with the window.
void dressPart(QWidget* part);

}  // namespace tvq
