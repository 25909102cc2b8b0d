#include "display/pictureview.h"

#include <QMouseEvent>
#include <QPainter>

namespace morvane {

TPictureView::TPictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureView::SetCursors(const QCursor& normal, const QCursor& drag) {
    FNormalCursor = normal;
    FDragCursor = drag;
    setCursor(FDragging ? FDragCursor : FNormalCursor);
}

void TPictureView::SurfaceChanged() {
    if (FSurface.Width > 0 && FSurface.Height > 0) {
        FImage = QImage(reinterpret_cast<uchar*>(FSurface.Pixels.data()), FSurface.Width,
                        FSurface.Height, FSurface.Width * 4, QImage::Format_RGB32);
    } else {
        FImage = QImage();
    }
    update();
}

void TPictureView::SetZoom(int zoom) {
    FZoom = zoom;
    update();
}

void TPictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, Qt::black);
    if (FZoom == 1) {
        if (!FImage.isNull()) painter.drawImage(0, 0, FImage);
    } else {
        const QRect source = QRect(QPoint(exposed.left() / FZoom, exposed.top() / FZoom),
                                   QPoint(exposed.right() / FZoom, exposed.bottom() / FZoom)) &
                             FImage.rect();
        // Without smooth scaling the painter repeats each pixel, so the glyphs stay sharp.
        if (!source.isEmpty()) {
            painter.drawImage(QRect(source.topLeft() * FZoom, source.size() * FZoom), FImage,
                              source);
        }
    }
    painter.end();
    emit Painted();
}

void TPictureView::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button() == Qt::LeftButton;
}

void TPictureView::mouseMoveEvent(QMouseEvent* event) {
    if (!FPressed) return;
    if (!FDragging) {
        FDragging = true;
        setCursor(FDragCursor);
    }
    emit DragOver(event->position().toPoint());
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FPressed = false;
    if (FDragging) {
        FDragging = false;
        setCursor(FNormalCursor);
        emit EndDrag();
    }
}

}  // namespace morvane
