#pragma once

#include <vector>

#include "gif/bytearray2d.h"
#include "gif/colortable.h"
#include "gif/gifbitmap.h"

namespace morvane {

/// Numbers the colours of bitmaps (all in one pixel order) in the order first met (bitmap after
/// bitmap, rows from the top, each from the left) into one table, completed for the file, and
/// fills indices with one array a bitmap, sized to it, so a colour has one index in all of them.
/// Reports progress from 0 to 1 over the rows of all bitmaps. Returns false, with table and
/// indices unusable, when the bitmaps have more than 256 colours together.
bool CollectColors(const std::vector<const TGifBitmap*>& bitmaps, TColorTable& table,
                   std::vector<TByteArray2D>& indices);

}  // namespace morvane
