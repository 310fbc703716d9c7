#include "toolkit/dialog_base.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include "toolkit/focus_ring.h"
#include "toolkit/tool_tips.h"
#include "toolkit/window_style.h"

namespace tvq {

DialogBase::DialogBase(QString className, QString layoutFile, const LanguageManager* language,
                       QWidget* owner)
    : QDialog(owner != nullptr ? owner->window() : nullptr),
      className_(std::move(className)),
      layoutFile_(std::move(layoutFile)),
      language_(language) {
    setObjectName(className_);
    // An ordinary dialog of the desktop: the window manager's frame, title
    // and close button; transient for the owner's window.
    setWindowFlags(Qt::Dialog);
    setModal(true);
    FocusRing::install();
    ToolTips::install();
}

DialogBase::~DialogBase() = default;

void DialogBase::create() {
    layout_ = std::make_unique<LoadedLayout>(layoutFile_, this, language_, false);
    controls_ = std::make_unique<ControlBinder>(layout_->content(), layoutFile_);
    setup();
    // Drawn in the main window's look: its buttons, lists, fields and
    // colours, in the scheme shown.
    if (QWidget* content = layout_->content()) {
        dressWindow(content);
    }
    // Room for every text at the layout's width: a longer text (another
    // language's) makes the dialog taller instead of being cut.
    if (QLayout* l = layout(); l != nullptr && l->hasHeightForWidth()) {
        resize(width(), std::max(height(), l->totalHeightForWidth(width())));
    }
}

int DialogBase::runModal() {
    return exec() == Accepted ? 1 : 0;
}

QPoint DialogBase::keptInside(QPoint wanted, QSize size, const QRect& area) {
    QPoint p = wanted;
    p.setX(std::max(area.left(), std::min(p.x(), area.right() + 1 - size.width())));
    p.setY(std::max(area.top(), std::min(p.y(), area.bottom() + 1 - size.height())));
    return p;
}

void DialogBase::placeCentred() {
    const QWidget* over = parentWidget() != nullptr && parentWidget()->isVisible()
                              ? parentWidget()->window()
                              : nullptr;
    const QScreen* s = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    if (s != nullptr) {
        fitInside(*s);
    }
    const QRect area = over != nullptr ? over->frameGeometry()
                       : s != nullptr  ? s->availableGeometry()
                                       : QRect(0, 0, 800, 600);
    const QPoint centred = area.center() - QPoint(width() / 2, height() / 2);
    move(s != nullptr ? keptInside(centred, size(), s->availableGeometry()) : centred);
}

void DialogBase::fitInside(const QScreen& screen) {
    const QSize room = screen.availableGeometry().size() - QSize(0, kFrameAllowance);
    fitWidth(room.width());
    QSize need = minimumSizeHint();
    if (QLayout* l = layout(); l != nullptr && l->hasHeightForWidth()) {
        // Wrapped texts: as tall as they are at the width it will have.
        need.setHeight(
            std::max(need.height(), l->totalHeightForWidth(std::min(width(), room.width()))));
    }
    if (need.width() > room.width() || need.height() > room.height()) {
        scrollInside();
    }
    resize(size().boundedTo(room));
}

void DialogBase::scrollInside() {
    QWidget* content = layout_ ? layout_->content() : nullptr;
    if (content == nullptr || layout() == nullptr ||
        qobject_cast<QScrollArea*>(content->parentWidget()) != nullptr) {
        return;
    }
    const QSize wanted = content->sizeHint();
    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("dialog_scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // The controls inside take the focus, and the area scrolls to each.
    area->setFocusPolicy(Qt::NoFocus);
    delete layout()->replaceWidget(content, area);
    area->setWidget(content);
    setMinimumSize(0, 0);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(wanted + QSize(bar, bar));
}

void DialogBase::placeAt(QPoint screenPoint) {
    const QScreen* s = QGuiApplication::screenAt(screenPoint);
    if (s == nullptr) {
        s = QGuiApplication::primaryScreen();
    }
    if (s != nullptr) {
        fitInside(*s);
    }
    move(s != nullptr ? keptInside(screenPoint, size(), s->availableGeometry()) : screenPoint);
}

std::optional<std::string> chooseFile(QWidget* owner, const QString& description,
                                      const QString& patterns, const QString& suffix,
                                      const QString& folder, bool forSaving,
                                      const QString& proposedName) {
    QFileDialog dialog(owner);
    dialog.setNameFilter(description + QStringLiteral(" (") + patterns + QStringLiteral(")"));
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    if (forSaving) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);  // asks before overwriting
        dialog.setDefaultSuffix(suffix);
        if (!proposedName.isEmpty()) {
            dialog.selectFile(proposedName);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace tvq
