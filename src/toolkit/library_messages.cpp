#include "toolkit/library_messages.h"

#include <QMetaObject>

#include "tvq/hook.h"

namespace tvq {

LibraryMessages::LibraryMessages(QObject* parent)
    : QObject(parent), MessageWindow{&LibraryMessages::postThunk} {
    qRegisterMetaType<tvq::DeviceMessage>("tvq::DeviceMessage");
}

void LibraryMessages::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // Decoded here, delivered on this object's thread.
    if (message == TVQ_HOOK_MESSAGE) {
        QMetaObject::invokeMethod(
            this, [this, wParam, lParam] { emit hookInput(wParam, lParam); }, Qt::QueuedConnection);
    } else if (const auto m = decodeDeviceMessage(message, wParam, lParam)) {
        QMetaObject::invokeMethod(
            this, [this, d = *m] { emit deviceMessage(d); }, Qt::QueuedConnection);
    }
}

void LibraryMessages::postThunk(MessageWindow* self, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    static_cast<LibraryMessages*>(self)->post(message, wParam, lParam);
}

}  // namespace tvq
