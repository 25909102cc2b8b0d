#include "document/charsets.h"

#include <algorithm>
#include <bitset>

#include "platform/gbcodec.h"

namespace morvane {

// Written at build time from the system's converters (charsettablesmain.cpp).
extern const char32_t kGbPairTable[];
extern const char32_t kBig5PairTable[];

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr int kPairSlots = (0xFE - 0x81 + 1) * (0xFE - 0x40 + 1);

constexpr int PairIndex(std::uint8_t lead, std::uint8_t trail) {
    return (lead - 0x81) * (0xFE - 0x40 + 1) + (trail - 0x40);
}

// The code points of a UTF-8 text; a malformed sequence gives U+FFFD.
std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < utf8.size();) {
        const auto first = static_cast<unsigned char>(utf8[i]);
        const size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
        if (i + length > utf8.size()) {
            points.push_back(kReplacement);
            break;
        }
        char32_t code = length == 1 ? first : first & (0x3F >> (length - 1));
        for (size_t k = 1; k < length; ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points.push_back(code);
        i += length;
    }
    return points;
}

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// What a character says of the reading that gave it.
int Weight(char32_t c, const std::bitset<0x10000>& common) {
    if (c == 0) return -2;
    if (c < common.size() && common[c]) return 3;
    // Box drawing, blocks and shapes, the punctuation and symbols art is made of.
    if (InRange(c, 0x2500, 0x25FF) || InRange(c, 0x3000, 0x303F) || InRange(c, 0xFF00, 0xFFEF) ||
        InRange(c, 0x2010, 0x206F) || InRange(c, 0x2190, 0x22FF) || InRange(c, 0x2600, 0x26FF) ||
        InRange(c, 0x2460, 0x24FF) || InRange(c, 0x2160, 0x217F) || InRange(c, 0x0391, 0x03C9) ||
        InRange(c, 0x00A0, 0x00FF))
        return 1;
    if (InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0x3040, 0x30FF)) return 0;
    // A private-use or otherwise odd character is a pair read the wrong way.
    return -2;
}

}  // namespace

char32_t PairToUnicode(TEncoding encoding, std::uint8_t lead, std::uint8_t trail) {
    if (!IsDoubleBytePair(lead, trail)) return 0;
    return (encoding == TEncoding::Big5 ? kBig5PairTable : kGbPairTable)[PairIndex(lead, trail)];
}

TEncoding DetectEncoding(const std::vector<std::string>& lines) {
    static const std::bitset<0x10000> common = [] {
        std::bitset<0x10000> set;
        for (char32_t c : CodePoints(kCommonHanzi))
            if (c < set.size()) set.set(c);
        return set;
    }();
    // A few thousand characters tell; reading only those keeps a long file quick to open.
    constexpr size_t kSamplePairs = 4096;
    size_t sampled = 0;
    long gb = 0;
    long big5 = 0;
    for (const std::string& line : lines) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        for (size_t i = 0; i + 1 < line.size() && sampled < kSamplePairs; ++i) {
            if (!IsDoubleBytePair(bytes[i], bytes[i + 1])) continue;
            ++sampled;
            gb += Weight(PairToUnicode(TEncoding::Gb, bytes[i], bytes[i + 1]), common);
            big5 += Weight(PairToUnicode(TEncoding::Big5, bytes[i], bytes[i + 1]), common);
            ++i;
        }
    }
    return big5 > gb ? TEncoding::Big5 : TEncoding::Gb;
}

const char* CharsetName(TEncoding encoding) {
    return encoding == TEncoding::Big5 ? "big5" : "gb2312";
}

std::string EncodedToUtf8(TEncoding encoding, std::string_view text) {
    if (encoding == TEncoding::Gb) return Gb18030ToUtf8(text);
    std::string utf8;
    utf8.reserve(text.size() * 3 / 2);
    auto append = [&utf8](char32_t c) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | c >> 18);
            utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); ++i) {
        if (bytes[i] < 0x80) {
            append(bytes[i]);
            continue;
        }
        const char32_t c =
            i + 1 < text.size() ? PairToUnicode(TEncoding::Big5, bytes[i], bytes[i + 1]) : 0;
        append(c ? c : kReplacement);
        if (c) ++i;
    }
    return utf8;
}

}  // namespace morvane
