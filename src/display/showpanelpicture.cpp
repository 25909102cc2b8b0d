#include "display/pictureview.h"
#include "display/showpanel.h"

namespace morvane {

void TShowPanel::RenderGrid(const Tabc& doc) {
    FPictureFills = false;
    FPicture->setGeometry(0, 0, doc.FColCount * 8, doc.FRowCount * 16);
    RenderGridPicture(doc, FPicture->Surface());
    FPicture->SurfaceChanged();
    SetTextLines(doc.FLines);
}

void TShowPanel::PictureDragOver(QPoint pos) {
    if (FPicture->Tag == 0) {
        FPicture->Tag = 1;
        FDragX = pos.x();
        FDragY = pos.y();
        return;
    }
    FPicture->move(FPicture->x() + pos.x() - FDragX, FPicture->y() + pos.y() - FDragY);
}

void TShowPanel::PictureEndDrag() { FPicture->Tag = 0; }

}  // namespace morvane
