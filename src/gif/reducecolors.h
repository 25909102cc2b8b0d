#pragma once

#include <vector>

#include "gif/gifbitmap.h"

namespace morvane {

/// Replaces every pixel of bitmaps (all in one pixel order) by the nearest (in RGB distance) of
/// at most maxColors colours chosen together for all of them by median cut, weighted by pixel
/// counts, so a colour becomes the same colour in every bitmap. No dithering, so text edges stay
/// crisp.
void ReduceColors(const std::vector<TGifBitmap*>& bitmaps, int maxColors);

}  // namespace morvane
