#include "display/picturearea.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "display/pictureview.h"

namespace morvane {
namespace {

constexpr int kNotch = 120;

}  // namespace

TPictureArea::TPictureArea(TPictureView* picture, QWidget* parent)
    : QScrollArea(parent), FPicture(picture) {
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = viewport()->palette();
    black.setColor(QPalette::Window, Qt::black);
    viewport()->setPalette(black);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    setWidget(picture);
    // The view paints every pixel itself, black past the picture.
    picture->setAutoFillBackground(false);
    setWidgetResizable(true);
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);

    ZoomInAction =
        AddAction(tr("Zoom in"),
                  {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                  &TPictureArea::ZoomIn);
    ZoomOutAction =
        AddAction(tr("Zoom out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &TPictureArea::ZoomOut);
    ZoomResetAction = AddAction(tr("Actual size"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
                                &TPictureArea::ZoomReset);
    FitWidthAction = AddAction(tr("Fit width"), {}, &TPictureArea::FitWidth);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    BlinkAction = new QAction(tr("Blink"), this);
    BlinkAction->setObjectName(QStringLiteral("PictureBlink"));
    BlinkAction->setCheckable(true);
    BlinkAction->setChecked(true);
    addAction(BlinkAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QAction* TPictureArea::AddAction(const QString& text, const QList<QKeySequence>& keys,
                                 void (TPictureArea::*slot)()) {
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

void TPictureArea::SetPictureSize(QSize size) {
    FFills = false;
    FPictureSize = size;
    ResizePicture();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TPictureArea::FillArea() {
    FFills = true;
    ResizePicture();
}

void TPictureArea::ResizePicture() {
    setWidgetResizable(FFills);
    if (!FFills) FPicture->resize(FPictureSize * FZoom);
}

void TPictureArea::MovePicture(QPoint topLeft) {
    horizontalScrollBar()->setValue(-topLeft.x());
    verticalScrollBar()->setValue(-topLeft.y());
}

void TPictureArea::SetZoom(int zoom, QPoint anchor) {
    zoom = std::clamp(zoom, 1, kMaxZoom);
    if (zoom == FZoom) return;
    QScrollBar* across = horizontalScrollBar();
    QScrollBar* down = verticalScrollBar();
    const QPointF point = (QPointF(across->value(), down->value()) + anchor) / FZoom;
    FZoom = zoom;
    FPicture->SetZoom(zoom);
    ResizePicture();
    across->setValue(qRound(point.x() * zoom) - anchor.x());
    down->setValue(qRound(point.y() * zoom) - anchor.y());
}

QPoint TPictureArea::ViewCentre() const { return viewport()->rect().center(); }

void TPictureArea::ZoomIn() { SetZoom(FZoom + 1, ViewCentre()); }

void TPictureArea::ZoomOut() { SetZoom(FZoom - 1, ViewCentre()); }

void TPictureArea::ZoomReset() { SetZoom(1, ViewCentre()); }

void TPictureArea::FitWidth() {
    if (FFills || FPictureSize.isEmpty()) return;
    const QSize room = maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    int zoom = 1;
    for (int z = kMaxZoom; z > 1; --z) {
        const bool tall = FPictureSize.height() * z > room.height();
        if (FPictureSize.width() * z <= room.width() - (tall ? bar : 0)) {
            zoom = z;
            break;
        }
    }
    SetZoom(zoom, {0, 0});
}

void TPictureArea::keyPressEvent(QKeyEvent* event) {
    QScrollBar* down = verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_Home:
            down->setValue(down->minimum());
            break;
        case Qt::Key_End:
            down->setValue(down->maximum());
            break;
        default:
            QScrollArea::keyPressEvent(event);
    }
}

void TPictureArea::wheelEvent(QWheelEvent* event) {
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        FZoomDelta += delta.y() != 0 ? delta.y() : delta.x();
        const int steps = FZoomDelta / kNotch;
        FZoomDelta -= steps * kNotch;
        if (steps != 0) SetZoom(FZoom + steps, event->position().toPoint());
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = {delta.y(), 0};
    const int pixels = QApplication::wheelScrollLines() * kLineStep;
    QScrollBar* across = horizontalScrollBar();
    QScrollBar* down = verticalScrollBar();
    across->setValue(across->value() - delta.x() * pixels / kNotch);
    down->setValue(down->value() - delta.y() * pixels / kNotch);
    event->accept();
}

}  // namespace morvane
