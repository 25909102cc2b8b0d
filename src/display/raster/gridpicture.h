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

/// The two looks of a picture whose cells blink: blinking cells drawn, or hidden in their
/// background colour (a terminal shows each about half a second).
enum class TBlinkPhase { Shown, Hidden };

/// Draws the document's cells: 8 x 16 pixels per byte of text (16 x 16 per wide cell; per cell of
/// UTF-8 text), FColCount cells wide and FRowCount rows high, clipped to 2048 x 8860, its
/// characters read in its FEncoding; underlined cells with their bottom pixel row in their text
/// colour, blinking cells as phase shows them. The buffer is sized to the picture.
/// Uses TCellFont::Shared(), so throws EFileError when its fonts cannot be loaded.
void RenderGridPicture(const Tabc& doc, TPixelBuffer& picture,
                       TBlinkPhase phase = TBlinkPhase::Shown);

/// As above, with the given fonts.
void RenderGridPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture,
                       TBlinkPhase phase = TBlinkPhase::Shown);

/// Draws again, in phase, the rows of a picture of doc (drawn by RenderGridPicture) that hold
/// blinking cells.
void RedrawBlinkingRows(const Tabc& doc, TCellFont& font, TPixelBuffer& picture, TBlinkPhase phase);

/// A rectangle of a picture, in pixels.
struct TPixelRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

/// The smallest rectangle of doc's picture that holds every blinking cell, clipped to width x
/// height pixels; empty when nothing of it blinks there.
TPixelRect BlinkingArea(const Tabc& doc, int width, int height);

}  // namespace morvane
