#pragma once

#include <array>
#include <cstdint>

namespace morvane {

/// Colour to index for up to 256 colours (24-bit values), open addressing; its 1024 slots stay at
/// most a quarter full.
class TColorIndex {
public:
    TColorIndex() { FKeys.fill(kEmpty); }

    /// The index of color, or -1 when it is not there; slot is where it is or would go.
    int Find(std::uint32_t color, unsigned& slot) const {
        slot = (color * 0x9E3779B1u) >> (32 - kBits);
        while (FKeys[slot] != kEmpty) {
            if (FKeys[slot] == color) return FValues[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
        return -1;
    }
    /// Puts color with index at the slot that Find gave for it.
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

}  // namespace morvane
