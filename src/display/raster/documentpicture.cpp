#include "display/raster/documentpicture.h"

#include "display/raster/cellfont.h"
#include "display/raster/exportpicture.h"
#include "display/raster/textpicture.h"

namespace morvane {

void RenderDocumentPicture(const Tabc& doc, TPixelBuffer& picture, TBlinkPhase phase) {
    RenderDocumentPicture(doc, TCellFont::Shared(), picture, phase);
}

void RenderDocumentPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture,
                           TBlinkPhase phase) {
    picture = TPixelBuffer();
    if (doc.FKind == dkColor || (doc.FKind == dkText && doc.FHasEscapes)) {
        RenderGridPicture(doc, font, picture, phase);
    } else if (doc.FKind == dkText) {
        RenderTextPicture(doc.FLines, doc.FEncoding, kTextViewInk, kTextViewPaper, font, picture);
    }
}

void SaveDocumentPicture(const Tabc& doc, const std::string& path, TPictureFormat format) {
    TPixelBuffer picture;
    RenderDocumentPicture(doc, picture);
    const bool grid = doc.FKind == dkColor || (doc.FKind == dkText && doc.FHasEscapes);
    if (format == pfGif && grid && doc.FBlinks) {
        TPixelBuffer hidden;
        RenderDocumentPicture(doc, hidden, TBlinkPhase::Hidden);
        const TPixelRect area = BlinkingArea(doc, picture.Width, picture.Height);
        SaveBlinkingPicture(std::move(picture), std::move(hidden), area, path, format);
        return;
    }
    SavePictureFile(ExportPicture(std::move(picture)), path, format);
}

}  // namespace morvane
