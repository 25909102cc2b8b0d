#include "gif/collectcolors.h"

#include <cstdint>

#include "gif/colorindex.h"
#include "gif/gifprogress.h"

namespace morvane {
namespace {

constexpr std::uint32_t kRgbMask = 0xFFFFFF;

std::uint32_t SwapRedBlue(std::uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

}  // namespace

bool CollectColors(const std::vector<const TGifBitmap*>& bitmaps, TColorTable& table,
                   std::vector<TByteArray2D>& indices) {
    table = TColorTable(0);
    indices.clear();
    std::size_t rows = 0;
    for (const TGifBitmap* bitmap : bitmaps) {
        indices.emplace_back(bitmap->Width, bitmap->Height);
        rows += static_cast<std::size_t>(bitmap->Height);
    }
    GifProgress(0.0f);
    TColorIndex known;
    // No pixel has this value, so the first pixel always counts as a new colour.
    std::uint32_t last = ~kRgbMask;
    std::uint8_t lastIndex = 0;
    std::size_t rowsDone = 0;
    for (std::size_t i = 0; i < bitmaps.size(); ++i) {
        const TGifBitmap& bitmap = *bitmaps[i];
        const bool redHigh = bitmap.Order == TPixelOrder::RedHigh;
        const std::uint32_t* in = bitmap.Pixels.data();
        std::uint8_t* out = indices[i].Data();
        for (int y = 0; y < bitmap.Height; ++y) {
            for (int x = 0; x < bitmap.Width; ++x) {
                std::uint32_t color = *in++ & kRgbMask;
                if (color != last) {
                    unsigned slot;
                    int index = known.Find(color, slot);
                    if (index < 0) {
                        if (table.Size() == TColorTable::kMaxSize) return false;
                        index = table.Add(redHigh ? SwapRedBlue(color) : color);
                        known.Insert(slot, color, index);
                    }
                    last = color;
                    lastIndex = static_cast<std::uint8_t>(index);
                }
                *out++ = lastIndex;
            }
            GifProgress(static_cast<float>(++rowsDone) / static_cast<float>(rows));
        }
    }
    table.CompleteForFile();
    return true;
}

}  // namespace morvane
