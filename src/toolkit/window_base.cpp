#include "toolkit/window_base.h"

#include <QScreen>
#include <utility>

#include "toolkit/dialog_base.h"
#include "toolkit/focus_ring.h"
#include "toolkit/tool_tips.h"

namespace tvq {

WindowBase::WindowBase(QString className, QString layoutFile, const LanguageManager* language)
    : className_(std::move(className)), layoutFile_(std::move(layoutFile)), language_(language) {
    setObjectName(className_);
    FocusRing::install();
    ToolTips::install();
}

WindowBase::~WindowBase() = default;

void WindowBase::create(QWidget* owner, Qt::WindowFlags flags, bool deferParts) {
    setParent(owner, flags);
    layout_ = std::make_unique<LoadedLayout>(layoutFile_, this, language_, deferParts);
    controls_ = std::make_unique<ControlBinder>(layout_->content(), layoutFile_);
    setup();
    // A window whose layout could not be read builds nothing on it; its
    // owner tells the user.
    if (!deferredPartsPending() && layout_->content() != nullptr) {
        firstPartsBuilt_ = true;
        onDeferredPartsBuilt();
    }
}

void WindowBase::buildDeferredParts() {
    if (!deferredPartsPending()) {
        return;
    }
    layout_->buildDeferred([this](QWidget* part) { preparePart(part); });
    if (std::exchange(firstPartsBuilt_, true)) {
        onLaterPartsBuilt();
    } else {
        onDeferredPartsBuilt();
    }
}

void WindowBase::centerWindow() {
    const QWidget* over = parentWidget() != nullptr && parentWidget()->isVisible()
                              ? parentWidget()->window()
                              : nullptr;
    const QRect screenArea =
        screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 800, 600);
    // On a small screen or at a large scale the window is made smaller (its
    // settings scroll) and starts inside the screen, never off its edges.
    resize(size().boundedTo(screenArea.size()));
    const QRect area = over != nullptr ? over->frameGeometry() : screenArea;
    move(DialogBase::keptInside(area.center() - QPoint(width() / 2, height() / 2), size(),
                                screenArea));
}

}  // namespace tvq
