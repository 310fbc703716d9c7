// The window handle the run-time libraries post to (the device-access
// libraries' status reports and attach events, the input hook's input),
// turned into typed signals on the user-interface thread. The numbers of the
// messages stay the libraries' ABI; nothing above this object sees them.
#pragma once

#include <QObject>
#include <cstdint>

#include "device/device_messages.h"
#include "tvq/message_window.h"

namespace tvq {

class LibraryMessages final : public QObject, public MessageWindow {
    Q_OBJECT

  public:
    explicit LibraryMessages(QObject* parent = nullptr);

    // What a library posted, as the libraries do (from any thread).
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

  signals:
    // A status report or an attach event of the cable or the receiver.
    void deviceMessage(const tvq::DeviceMessage& message);
    // Key or mouse-button input from the input hook (message 1034), with the
    // hook's wParam and lParam.
    void hookInput(quintptr wParam, qintptr lParam);

  private:
    static void postThunk(MessageWindow* self, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);
};

}  // namespace tvq
