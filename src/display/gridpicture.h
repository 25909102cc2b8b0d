#pragma once

#include <cstdint>
#include <vector>

#include "document/abc.h"

namespace morvane {

/// A picture in memory: rows top to bottom, each pixel 0xFFRRGGBB (the layout of
/// QImage::Format_RGB32, so the viewer wraps it without copying).
struct TPixelBuffer {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
};

/// Draws the document's cells: 8 x 16 pixels per byte of text (16 x 16 per wide cell), FColCount
/// bytes wide and FRowCount rows high, clipped to 2048 x 8860. The buffer is sized to the picture.
void RenderGridPicture(const Tabc& doc, TPixelBuffer& picture);

}  // namespace morvane
