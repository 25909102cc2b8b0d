#pragma once

#include "gif/bytearray2d.h"
#include "gif/colortable.h"
#include "gif/gifbitmap.h"

namespace morvane {

/// Numbers the colours of bitmap in the order first met (rows from the top, each from the left)
/// into table, completed for the file, and fills indices (sized to the bitmap) with them.
/// Returns false, with table and indices unusable, when the bitmap has more than 256 colours.
bool CollectColors(const TGifBitmap& bitmap, TColorTable& table, TByteArray2D& indices);

}  // namespace morvane
