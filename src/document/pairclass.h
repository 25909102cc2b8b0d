#pragma once

#include <cstdint>

namespace morvane {

/// What a character says of the reading (GB or Big5) that gave it, as one byte that the build
/// writes for every pair: bits 0..3 hold a rough log-likelihood plus 8 (characters a board's
/// text and pictures are made of score high, characters only a wrong reading gives score low);
/// bit 4 marks kana and bit 5 shapes, which count for more among their own kind.
constexpr std::uint8_t kPairKana = 0x10;
constexpr std::uint8_t kPairShape = 0x20;
constexpr int kPairWeightBias = 8;

/// The class byte of code point c, read as the pair lead, trail in GB (big5 false) or Big5.
std::uint8_t ClassifyPair(bool big5, std::uint8_t lead, std::uint8_t trail, char32_t c);

}  // namespace morvane
