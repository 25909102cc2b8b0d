#pragma once

#include <QImage>
#include <QWidget>

#include "display/raster/gridpicture.h"

namespace morvane {

/// The picture view: shows its drawing surface at its top-left corner, each pixel as a square of
/// zoom x zoom pixels, black elsewhere, and reports a press-and-move of the left mouse button as a
/// drag.
class TPictureView : public QWidget {
    Q_OBJECT
public:
    explicit TPictureView(QWidget* parent);

    /// The drawing surface; call SurfaceChanged after drawing on it.
    TPixelBuffer& Surface() { return FSurface; }
    void SurfaceChanged();
    /// The surface as an image sharing its pixels; valid until the surface changes.
    const QImage& Image() const { return FImage; }

    int Zoom() const { return FZoom; }
    /// Draws each surface pixel as a zoom x zoom square; the view's size is left to its owner.
    void SetZoom(int zoom);

    /// The cursor over the picture, and the one while it is dragged.
    void SetCursors(const QCursor& normal, const QCursor& drag);

    /// The drag marker: 1 from the first drag-over event of a drag to its end, else 0.
    int Tag = 0;

signals:
    /// The mouse moved during a drag; pos in picture-view coordinates.
    void DragOver(QPoint pos);
    void EndDrag();
    /// The view has been painted.
    void Painted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPixelBuffer FSurface;
    QImage FImage;
    QCursor FNormalCursor;
    QCursor FDragCursor;
    bool FPressed = false;
    bool FDragging = false;
    int FZoom = 1;
};

}  // namespace morvane
