// Binds handlers to a layout's controls by name. Each kind of notification
// has a handler with the value it carries:
//   click                          a push button was clicked
//   checkclick (checked)           the user clicked a check box
//   selectchanged                  an option became selected (not: deselected
//                                  by another option of its group)
//   itemselect (index)             a combo's item or a list's row was chosen
//   valuechanged (position)        a slider moved, by the user or the keys
//   dragend (position)             the user let go of a slider's handle
//   textchanged (text)             an edit's text changed
//   focus (in)                     setfocus / killfocus
//   hover (entered)                mouseenter / mouseleave
// A name the layout lacks is written to the debug channel and skipped.
// Controls changed through the quiet setters raise nothing.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>

class QAbstractButton;
class QAbstractSlider;
class QSpinBox;
class QComboBox;
class QListWidget;

namespace tvq {

class ControlBinder final : public QObject {
  public:
    // `content` is the loaded layout (null: every lookup fails); `layoutName`
    // names it in debug lines.
    ControlBinder(QWidget* content, QString layoutName);

    // The control, or null without a word.
    template <class T = QWidget>
    T* find(const QString& name) const {
        QWidget* w = named(name);
        if (auto* found = qobject_cast<T*>(w); found != nullptr || w == nullptr) {
            return found;
        }
        return content_->findChild<T*>(name);  // another of that name, of that type
    }
    // The control, or null with a debug line saying the layout lacks it.
    QWidget* require(const QString& name) const;
    // The controls of these names the layout has, each as find() gives it,
    // after one walk: for many names at once, some of them missing (as
    // while deferred parts wait), without a walk for each one missing.
    QHash<QString, QWidget*> findEach(const QStringList& names) const;

    void onClick(const QString& name, std::function<void()> handler);
    void onToggled(const QString& name, std::function<void(bool)> handler);
    // How a button was worked: by the pointer, by a key, or otherwise (a
    // screen reader's action).
    enum class Activation { kPointer, kKeyboard, kOther };
    void onToggledBy(const QString& name, std::function<void(bool, Activation)> handler);
    void onSelectChanged(const QString& name, std::function<void()> handler);
    void onItemSelect(const QString& name, std::function<void(int)> handler);
    void onValueChanged(const QString& name, std::function<void(int)> handler);
    void onDragEnd(const QString& name, std::function<void(int)> handler);
    void onTextChanged(const QString& name, std::function<void(const QString&)> handler);
    void onFocus(const QString& name, std::function<void(bool)> handler);
    void onHover(const QString& name, std::function<void(bool)> handler);
    // A key (as QKeySequence reads it: "Delete", "F2", "Return") pressed
    // while the control has the focus; "Return" takes the keypad's Enter too.
    void onKey(const QString& name, const QString& key, std::function<void()> handler);

    // Changing a control without raising its notification.
    static void setCheckedQuietly(QAbstractButton* button, bool checked);
    static void selectQuietly(QComboBox* combo, int index);
    static void selectRowQuietly(QListWidget* list, int row);
    static void setValueQuietly(QAbstractSlider* slider, int value);
    static void setValueQuietly(QSpinBox* spin, int value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Watched {
        std::function<void(bool)> focus;
        std::function<void(bool)> hover;
        // For a button bound with onToggledBy: the input being handled,
        // while its release works the button.
        bool tracksInput = false;
        Activation input = Activation::kOther;
    };
    Watched& watch(QWidget* control);
    // The layout's widget of that name. Windows look up a few hundred names,
    // most more than once: they are found in an index of the widgets by
    // name, in the order QObject::findChild meets them, made in one walk.
    QWidget* named(const QString& name) const;

    mutable QHash<QString, QPointer<QWidget>> index_;

    QPointer<QWidget> content_;
    QString layoutName_;
    std::map<QObject*, Watched> watched_;
};

}  // namespace tvq
