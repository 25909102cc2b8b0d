#pragma once

#include <QScrollArea>

class QAction;

namespace morvane {

class TPictureView;

/// Scrolls the picture view over a black background: scroll bars, the mouse wheel (Shift+wheel
/// sideways, Ctrl+wheel zooms), the arrow keys, Page Up/Down and Home/End; and zooms it in whole
/// steps (Ctrl++ or Ctrl+=, Ctrl+-, Ctrl+0) with the picture's pixels kept sharp.
class TPictureArea : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kMaxZoom = 8;
    /// The distance of an arrow key and of a wheel line: one text row.
    static constexpr int kLineStep = 16;

    /// Takes picture as the scrolled widget, parented to the area.
    TPictureArea(TPictureView* picture, QWidget* parent);

    /// Shows a picture of size pixels at the current zoom from its top-left corner.
    void SetPictureSize(QSize size);
    /// Lets the picture view fill the area whatever its zoom, until SetPictureSize.
    void FillArea();
    /// Scrolls so that the picture's top-left corner lies at topLeft in the area, as far as the
    /// picture reaches: never past its edges.
    void MovePicture(QPoint topLeft);

    int Zoom() const { return FZoom; }
    /// Sets the zoom (clamped to 1..kMaxZoom), keeping the picture point under anchor (in
    /// viewport coordinates) where it is.
    void SetZoom(int zoom, QPoint anchor = {});

    QAction* ZoomInAction = nullptr;
    QAction* ZoomOutAction = nullptr;
    QAction* ZoomResetAction = nullptr;
    QAction* FitWidthAction = nullptr;
    /// Checkable: blinking cells blink (checked by default).
    QAction* BlinkAction = nullptr;

public slots:
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    /// The largest whole zoom at which the picture's width fits the view; 1 for a picture wider
    /// than the view.
    void FitWidth();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QPoint ViewCentre() const;
    void ResizePicture();
    QAction* AddAction(const QString& text, const QList<QKeySequence>& keys,
                       void (TPictureArea::*slot)());

    TPictureView* FPicture;
    QSize FPictureSize;
    int FZoom = 1;
    bool FFills = true;
    // Wheel turns below a notch (high-resolution wheels) add up to the next zoom step.
    int FZoomDelta = 0;
};

}  // namespace morvane
