#include "display/raster/convertedpicture.h"

#include <memory>
#include <stdexcept>

#include "display/raster/cellfont.h"
#include "display/raster/documentpicture.h"
#include "display/raster/exportpicture.h"

namespace morvane {

void WriteConvertedPicture(const Tabc& doc, const std::string& format, const std::string& path) {
    const std::optional<TPictureFormat> pictureFormat = PictureFormatNamed(format);
    if (!pictureFormat) throw std::invalid_argument("no picture format named " + format);
    // The shared fonts are no use here: opened from the font files rather than the glyph sheet,
    // a font fills its cache as it draws.
    thread_local std::unique_ptr<TCellFont> font = TCellFont::LoadDefault();
    TPixelBuffer picture;
    RenderDocumentPicture(doc, *font, picture);
    SavePictureFile(ExportPicture(std::move(picture)), path, *pictureFormat);
}

}  // namespace morvane
