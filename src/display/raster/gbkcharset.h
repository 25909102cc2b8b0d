#pragma once

#include <cstdint>

namespace morvane {

/// True when lead and trail form one double-byte GBK character: lead 0x81..0xFE, trail
/// 0x40..0xFE but not 0x7F.
constexpr bool IsGbkPair(std::uint8_t lead, std::uint8_t trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

/// A table slot for each lead 0x81..0xFE and trail 0x40..0xFE, numbered by GbkPairIndex.
constexpr int kGbkPairSlots = (0xFE - 0x81 + 1) * (0xFE - 0x40 + 1);

/// The slot of a pair in 0..kGbkPairSlots - 1; meaningful only when IsGbkPair holds.
constexpr int GbkPairIndex(std::uint8_t lead, std::uint8_t trail) {
    return (lead - 0x81) * (0xFE - 0x40 + 1) + (trail - 0x40);
}

/// The Unicode code point of a GBK pair as GB18030 maps it; 0 when the bytes are no pair or have
/// no mapping. The table behind it is built on first use.
char32_t GbkToUnicode(std::uint8_t lead, std::uint8_t trail);

}  // namespace morvane
