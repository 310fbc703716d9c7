// A field that takes the keys pressed while it has the focus, for where the
// input hook sees nothing (no X server, a Wayland session): each key event
// is converted to the virtual key the hook would report and handed on.
// Tab, Backtab and Escape keep their work (leaving the field, closing the
// dialog), and so does Enter (confirming it) where `enterConfirms`; other
// keys type nothing into the field.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

class QKeyEvent;
class QLineEdit;

namespace tvq {

class KeyNames;

class KeyField final : public QObject {
  public:
    // `taken` gets each key's virtual key (0 when it has none) and whether
    // it went down; repeats of a held key are left out.
    KeyField(QLineEdit* field, const KeyNames& keys,
             std::function<void(std::uint32_t virtualKey, bool down)> taken,
             bool enterConfirms = false);

    // The virtual key of a key event of this program's own windows: by the
    // layout from its X key code, else by its keysym, else by Qt's code.
    static std::uint32_t virtualKeyOf(const QKeyEvent& event, const KeyNames& keys);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const KeyNames& keys_;
    std::function<void(std::uint32_t, bool)> taken_;
    bool enterConfirms_;
};

}  // namespace tvq
