#include "gif/collectcolors.h"

#include <array>
#include <cstdint>

#include "gif/gifprogress.h"

namespace morvane {
namespace {

constexpr std::uint32_t kRgbMask = 0xFFFFFF;

// Colour to index, open addressing; 1024 slots stay at most a quarter full for 256 colours.
class TColorIndex {
public:
    TColorIndex() { FKeys.fill(kEmpty); }

    // The index of color, or -1 when it is not there; slot is where it is or would go.
    int Find(std::uint32_t color, unsigned& slot) const {
        slot = (color * 0x9E3779B1u) >> (32 - kBits);
        while (FKeys[slot] != kEmpty) {
            if (FKeys[slot] == color) return FValues[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
        return -1;
    }
    void Insert(unsigned slot, std::uint32_t color, int index) {
        FKeys[slot] = color;
        FValues[slot] = static_cast<std::uint8_t>(index);
    }

private:
    static constexpr int kBits = 10;
    static constexpr unsigned kSlots = 1u << kBits;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    std::array<std::uint32_t, kSlots> FKeys;
    std::array<std::uint8_t, kSlots> FValues{};
};

}  // namespace

bool CollectColors(const TGifBitmap& bitmap, TColorTable& table, TByteArray2D& indices) {
    table = TColorTable(0);
    indices = TByteArray2D(bitmap.Width, bitmap.Height);
    GifProgress(0.0f);
    TColorIndex known;
    const std::uint32_t* in = bitmap.Pixels.data();
    std::uint8_t* out = indices.Data();
    // No pixel has this value, so the first pixel always counts as a new colour.
    std::uint32_t last = ~kRgbMask;
    std::uint8_t lastIndex = 0;
    for (int y = 0; y < bitmap.Height; ++y) {
        for (int x = 0; x < bitmap.Width; ++x) {
            std::uint32_t color = *in++ & kRgbMask;
            if (color != last) {
                unsigned slot;
                int index = known.Find(color, slot);
                if (index < 0) {
                    if (table.Size() == TColorTable::kMaxSize) return false;
                    index = table.Add(color);
                    known.Insert(slot, color, index);
                }
                last = color;
                lastIndex = static_cast<std::uint8_t>(index);
            }
            *out++ = lastIndex;
        }
        GifProgress(static_cast<float>(y + 1) / static_cast<float>(bitmap.Height));
    }
    table.CompleteForFile();
    return true;
}

}  // namespace morvane
