#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/raster/gridpicture.h"
#include "document/charsets.h"

namespace morvane {

class TCellFont;

/// Draws text lines (bytes in encoding) as the viewer saves its text view: background inside a
/// black outline, line i at (1, 16 i + 1), 8 pixels a byte and 16 a double-byte pair, each
/// character on its own background. The picture is 16 pixels a line high and 8 pixels a byte of the
/// longest line drawn wide (at least 8), clipped to 2048 x 8860; every line that starts inside is
/// drawn. Colours are 0xFFRRGGBB. Uses TCellFont::Shared(), so throws EFileError as it does.
void RenderTextPicture(const std::vector<std::string>& lines, TEncoding encoding,
                       std::uint32_t textPixel, std::uint32_t backgroundPixel,
                       TPixelBuffer& picture);

/// As above, with the given fonts.
void RenderTextPicture(const std::vector<std::string>& lines, TEncoding encoding,
                       std::uint32_t textPixel, std::uint32_t backgroundPixel, TCellFont& font,
                       TPixelBuffer& picture);

}  // namespace morvane
