#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// The character sets of bulletin-board art: GB2312 and its supersets GBK and GB18030 (simplified
/// Chinese), Big5 (traditional Chinese, as Taiwanese boards write it, with the ETen extensions),
/// and UTF-8, which newer boards write.
enum class TEncoding : std::uint8_t { Gb = 0, Big5 = 1, Utf8 = 2 };

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

/// The Unicode code point of a pair in encoding (Gb or Big5); 0 when it has none.
char32_t PairToUnicode(TEncoding encoding, std::uint8_t lead, std::uint8_t trail);

/// The pair that writes code point code: GB's where GB has one, else Big5's; false when neither
/// has it.
bool FindPair(char32_t code, TEncoding& encoding, std::uint8_t& lead, std::uint8_t& trail);

/// One character at the start of a text: how many bytes it takes, how many 8-pixel cells it
/// covers, and its code point (0 for a byte that starts no character, drawn blank).
struct TCharacter {
    std::uint8_t Bytes = 1;
    std::uint8_t Cells = 1;
    char32_t Code = 0;
};

/// The character text begins with, in encoding; text must not be empty. A GB or Big5 pair is two
/// bytes over two cells, any other byte one cell. In UTF-8 a character is as wide as a CJK
/// terminal draws it: two cells when GB or Big5 has it as a pair or it is a wide East Asian
/// character, else one; a byte that is no UTF-8 is one cell.
TCharacter NextCharacter(TEncoding encoding, std::string_view text);

/// The cells a text covers in encoding (its bytes for GB and Big5).
std::size_t CellCount(TEncoding encoding, std::string_view text);

/// The cells a code point covers in UTF-8 art (see NextCharacter).
int Utf8Cells(char32_t code);

/// True when text is UTF-8 art: well-formed UTF-8 that holds characters beyond ASCII which
/// GB18030 would read worse.
bool IsUtf8Art(std::string_view text);

/// The encoding whose reading of the lines' double-byte pairs gives the characters, symbols and
/// shapes of real art: GB unless Big5 reads better (never Utf8).
TEncoding DetectEncoding(const std::vector<std::string>& lines);

/// The name that a page's charset declares for the encoding: "gb2312", "big5" or "utf-8".
const char* CharsetName(TEncoding encoding);

/// Text in encoding as UTF-8; a byte that starts no character becomes U+FFFD.
std::string EncodedToUtf8(TEncoding encoding, std::string_view text);

/// Appends code point c as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace morvane
