// The settings page's two columns (the side column with the link, battery
// and profiles; the settings beside it) become one when the window is too
// narrow for both, as at twice the scale on a small screen: the side column
// then heads the scrolled settings. Narrower still, the settings scroll
// sideways too, so that no control is ever cut at an edge.
#pragma once

#include <QObject>
#include <QPointer>

class QLayout;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace tvq {

class PageReflow final : public QObject {
  public:
    // `page` holds the layout "main.xml"'s "side_scroll" and
    // "settings_scroll"; without them nothing is done.
    explicit PageReflow(QWidget* page);

    bool oneColumn() const { return oneColumn_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The width both columns need side by side.
    int twoColumnWidth() const;
    void follow();
    void setOneColumn(bool one);
    void keepTabOrder();

    static constexpr int kFocusChainLimit = 4000;  // widgets walked at most

    QPointer<QWidget> page_;
    QPointer<QScrollArea> side_;
    QPointer<QScrollArea> settings_;
    QPointer<QWidget> sidePanel_;
    QVBoxLayout* settingsLayout_ = nullptr;
    int sideWidth_ = 0;  // the side column's own width
    bool oneColumn_ = false;
    bool following_ = false;
    bool followDue_ = false;  // a look after the layouts settle is queued
};

}  // namespace tvq
