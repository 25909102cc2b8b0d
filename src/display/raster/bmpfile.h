#pragma once

#include "display/raster/gridpicture.h"
#include "platform/largeblocks.h"

namespace morvane {

/// The picture as an uncompressed 24-bit Windows bitmap file (BMP): rows from the bottom, each
/// padded to 4 bytes, 96 dots per inch. Reports progress per row through GifProgress.
TLargeVector<char> EncodeBmp(const TPixelBuffer& picture);

}  // namespace morvane
