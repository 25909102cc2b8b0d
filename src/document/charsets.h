#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// The two-byte character sets of bulletin-board art: GB2312 and its supersets GBK and GB18030
/// (simplified Chinese), and Big5 (traditional Chinese, as Taiwanese boards write it).
enum class TEncoding : std::uint8_t { Gb = 0, Big5 = 1 };

/// True when lead and trail may form one double-byte character in either set: lead 0x81..0xFE,
/// trail 0x40..0xFE but not 0x7F.
constexpr bool IsDoubleBytePair(std::uint8_t lead, std::uint8_t trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

/// A table slot for each lead 0x81..0xFE and trail 0x40..0xFE, numbered by DoubleByteSlot.
constexpr int kDoubleByteSlots = (0xFE - 0x81 + 1) * (0xFE - 0x40 + 1);

/// The slot of a pair in 0..kDoubleByteSlots - 1; meaningful only when IsDoubleBytePair holds.
constexpr int DoubleByteSlot(std::uint8_t lead, std::uint8_t trail) {
    return (lead - 0x81) * (0xFE - 0x40 + 1) + (trail - 0x40);
}

/// The Unicode code point of a pair in encoding; 0 when it has none. Tables are built on first
/// use.
char32_t PairToUnicode(TEncoding encoding, std::uint8_t lead, std::uint8_t trail);

/// The encoding whose reading of the lines gives valid, common characters: GB unless Big5 reads
/// clearly better.
TEncoding DetectEncoding(const std::vector<std::string>& lines);

/// The name that a page's charset declares for the encoding: "gb2312" or "big5".
const char* CharsetName(TEncoding encoding);

/// Text in encoding as UTF-8; a byte that starts no character becomes U+FFFD.
std::string EncodedToUtf8(TEncoding encoding, std::string_view text);

/// Characters common in Chinese text (UTF-8), simplified and traditional.
extern const char kCommonHanzi[];

}  // namespace morvane
