#include "toolkit/window_base.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>

namespace tvq {
namespace {

// A posted message as a Qt event.
class MessageEvent final : public QEvent {
  public:
    static QEvent::Type kind() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    MessageEvent(std::uint32_t m, std::uintptr_t w, std::intptr_t l)
        : QEvent(kind()), message(m), wParam(w), lParam(l) {}
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

}  // namespace

WindowImplBase::WindowImplBase(QString className, QString layoutFile,
                               const LanguageManager* language)
    : className_(std::move(className)), layoutFile_(std::move(layoutFile)), language_(language) {
    setObjectName(className_);
}

WindowImplBase::~WindowImplBase() {
    timers_.clear();
}

void WindowImplBase::create(QWidget* owner, Qt::WindowFlags flags, bool deferParts) {
    setParent(owner, flags);
    layout_ = std::make_unique<LoadedLayout>(layoutFile_, this, language_, deferParts);
    controls_ = std::make_unique<ControlBinder>(layout_->content(), layoutFile_);
    setup();
    // A window whose layout could not be read builds nothing on it; its
    // owner tells the user.
    if (!deferredPartsPending() && layout_->content() != nullptr) {
        onDeferredPartsBuilt();
    }
}

void WindowImplBase::buildDeferredParts() {
    if (!deferredPartsPending()) {
        return;
    }
    layout_->buildDeferred();
    onDeferredPartsBuilt();
}

void WindowImplBase::centerWindow() {
    const QWidget* over = parentWidget() != nullptr && parentWidget()->isVisible()
                              ? parentWidget()->window()
                              : nullptr;
    const QRect area = over != nullptr       ? over->frameGeometry()
                       : screen() != nullptr ? screen()->availableGeometry()
                                             : QRect(0, 0, 800, 600);
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void WindowImplBase::startWindowTimer(int id, int ms) {
    auto& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, this, [this, id] { onWindowTimer(id); });
    }
    timer->start(ms);
}

void WindowImplBase::stopWindowTimer(int id) {
    const auto it = timers_.find(id);
    if (it != timers_.end()) {
        it->second->stop();
    }
}

bool WindowImplBase::windowTimerActive(int id) const {
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void WindowImplBase::postMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    // Qt takes the event and deletes it once delivered.
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
}

bool WindowImplBase::sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    return handleCustomMessage(message, wParam, lParam);
}

void WindowImplBase::customEvent(QEvent* event) {
    if (event->type() == MessageEvent::kind()) {
        const auto* m = static_cast<MessageEvent*>(event);
        handleCustomMessage(m->message, m->wParam, m->lParam);
        return;
    }
    QWidget::customEvent(event);
}

}  // namespace tvq
