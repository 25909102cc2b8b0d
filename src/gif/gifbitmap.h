#pragma once

#include <cstdint>
#include <vector>

#include "platform/largeblocks.h"

namespace morvane {

/// A picture handed to the GIF writer: Width x Height pixels, rows from the top, each pixel
/// 0x00BBGGRR (red in the low byte; the high byte is ignored). Pixels holds Width * Height values.
struct TGifBitmap {
    int Width = 0;
    int Height = 0;
    TLargeVector<std::uint32_t> Pixels;
};

}  // namespace morvane
