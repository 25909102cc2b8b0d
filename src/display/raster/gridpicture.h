#pragma once

#include <cstdint>
#include <vector>

#include "document/abc.h"
#include "platform/largeblocks.h"

namespace morvane {

class TCellFont;

/// The largest picture drawn, in pixels; a larger document is cut at the right and bottom.
constexpr int kPictureMaxWidth = 2048;
constexpr int kPictureMaxHeight = 8860;

/// A picture in memory: rows top to bottom, each pixel 0xFFRRGGBB (the layout of
/// QImage::Format_RGB32, so the viewer wraps it without copying).
struct TPixelBuffer {
    int Width = 0;
    int Height = 0;
    TLargeVector<std::uint32_t> Pixels;
};

/// Draws the document's cells: 8 x 16 pixels per byte of text (16 x 16 per wide cell), FColCount
/// bytes wide and FRowCount rows high, clipped to 2048 x 8860, its double-byte characters read in
/// its FEncoding. The buffer is sized to the picture.
/// Uses TCellFont::Shared(), so throws EFileError when its fonts cannot be loaded.
void RenderGridPicture(const Tabc& doc, TPixelBuffer& picture);

/// As above, with the given fonts.
void RenderGridPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture);

}  // namespace morvane
