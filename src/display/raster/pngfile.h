#pragma once

#include <stdexcept>

#include "display/raster/gridpicture.h"
#include "platform/largeblocks.h"

namespace morvane {

/// libpng refused to encode a picture.
class EPngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The picture as a PNG file: indexed (1, 2, 4 or 8 bits a pixel, the palette in the order the
/// colours are first met) when it has at most 256 colours, else 8-bit RGB. Reports progress per
/// row through GifProgress. Throws EPngError.
TLargeVector<char> EncodePng(const TPixelBuffer& picture);

}  // namespace morvane
