#pragma once

#include <string>

#include "display/raster/gridpicture.h"

namespace morvane {

class TCellFont;

/// The picture scaled down so that its larger side is size pixels, each pixel the average of the
/// pixels it covers; a picture already that small is kept as it is. size must be positive.
TPixelBuffer ScaleToFit(const TPixelBuffer& picture, int size);

/// The picture scaled so that its larger side is exactly size pixels: down as ScaleToFit does,
/// up by repeating pixels. size must be positive.
TPixelBuffer ScaleToSize(const TPixelBuffer& picture, int size);

/// The thumbnail of the art file at path (a text or colour file; a colour file whose colours are
/// broken shows its text), as the viewer draws it, scaled to fit size. False, with thumbnail
/// empty, when the file has no picture: missing, unreadable, empty, or of another kind.
/// Throws EFileError when font cannot draw.
bool RenderThumbnail(const std::string& path, int size, TCellFont& font, TPixelBuffer& thumbnail);

}  // namespace morvane
