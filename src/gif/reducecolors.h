#pragma once

#include "gif/gifbitmap.h"

namespace morvane {

/// Replaces every pixel of bitmap by the nearest (in RGB distance) of at most maxColors colours
/// chosen by median cut, weighted by pixel counts. No dithering, so text edges stay crisp.
void ReduceColors(TGifBitmap& bitmap, int maxColors);

}  // namespace morvane
