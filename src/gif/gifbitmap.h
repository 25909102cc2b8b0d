#pragma once

#include <cstdint>
#include <vector>

#include "platform/largeblocks.h"

namespace morvane {

/// Where a pixel value holds its red: in the low byte (0x00BBGGRR, the writer's own order) or in
/// the third (0x00RRGGBB, as pictures in memory have it). The high byte is ignored.
enum class TPixelOrder { RedLow, RedHigh };

/// A picture handed to the GIF writer: Width x Height pixels, rows from the top, in Order.
/// Pixels holds Width * Height values.
struct TGifBitmap {
    int Width = 0;
    int Height = 0;
    TLargeVector<std::uint32_t> Pixels;
    TPixelOrder Order = TPixelOrder::RedLow;
};

}  // namespace morvane
