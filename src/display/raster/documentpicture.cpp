#include "display/raster/documentpicture.h"

#include "display/raster/exportpicture.h"
#include "display/raster/textpicture.h"

namespace morvane {

void RenderDocumentPicture(const Tabc& doc, TPixelBuffer& picture) {
    picture = TPixelBuffer();
    if (doc.FKind == dkColor || (doc.FKind == dkText && doc.FHasEscapes)) {
        RenderGridPicture(doc, picture);
    } else if (doc.FKind == dkText) {
        RenderTextPicture(doc.FLines, kTextViewInk, kTextViewPaper, picture);
    }
}

void SaveDocumentPicture(const Tabc& doc, const std::string& path, TPictureFormat format) {
    TPixelBuffer picture;
    RenderDocumentPicture(doc, picture);
    SavePictureFile(ExportPicture(std::move(picture)), path, format);
}

}  // namespace morvane
