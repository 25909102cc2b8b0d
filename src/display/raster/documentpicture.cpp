#include "display/raster/documentpicture.h"

#include "display/raster/cellfont.h"
#include "display/raster/exportpicture.h"
#include "display/raster/textpicture.h"

namespace morvane {

void RenderDocumentPicture(const Tabc& doc, TPixelBuffer& picture) {
    RenderDocumentPicture(doc, TCellFont::Shared(), picture);
}

void RenderDocumentPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture) {
    picture = TPixelBuffer();
    if (doc.FKind == dkColor || (doc.FKind == dkText && doc.FHasEscapes)) {
        RenderGridPicture(doc, font, picture);
    } else if (doc.FKind == dkText) {
        RenderTextPicture(doc.FLines, doc.FEncoding, kTextViewInk, kTextViewPaper, font, picture);
    }
}

void SaveDocumentPicture(const Tabc& doc, const std::string& path, TPictureFormat format) {
    TPixelBuffer picture;
    RenderDocumentPicture(doc, picture);
    SavePictureFile(ExportPicture(std::move(picture)), path, format);
}

}  // namespace morvane
