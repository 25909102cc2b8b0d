#include "document/charsets.h"

#include <algorithm>

#include "platform/gbcodec.h"

namespace morvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

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

// All pairs are decoded in one call, each followed by a newline, so that a pair the decoder
// rejects cannot shift the pairs after it. A pair left without a code point by the first decoder
// gets the second's.
std::vector<char32_t> BuildTable(std::string (*decode)(std::string_view),
                                 std::string (*fallback)(std::string_view)) {
    std::string pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (IsDoubleBytePair(lead, trail))
                pairs += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
        }
    }
    std::vector<char32_t> table(kDoubleByteSlots, 0);
    for (auto* decoder : {fallback, decode}) {
        if (!decoder) continue;
        const std::vector<char32_t> points = CodePoints(decoder(pairs));
        size_t at = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (!IsDoubleBytePair(lead, trail)) continue;
                const size_t end = std::find(points.begin() + at, points.end(), U'\n') -
                                   points.begin();
                if (end >= points.size()) return table;
                // One code point between the newlines is the pair's own; more is a pair read as
                // something else.
                if (end == at + 1 && points[at] != kReplacement && points[at] != 0)
                    table[DoubleByteSlot(lead, trail)] = points[at];
                at = end + 1;
            }
        }
    }
    return table;
}

const std::vector<char32_t>& Table(TEncoding encoding) {
    static const std::vector<char32_t> gb = BuildTable(Gb18030ToUtf8, nullptr);
    static const std::vector<char32_t> big5 = BuildTable(Big5ToUtf8, Big5HkscsToUtf8);
    return encoding == TEncoding::Big5 ? big5 : gb;
}

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// What a character says of the reading that gave it.
int Weight(char32_t c, const std::vector<char32_t>& common) {
    if (c == 0) return -2;
    if (std::binary_search(common.begin(), common.end(), c)) return 3;
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
    return Table(encoding)[DoubleByteSlot(lead, trail)];
}

TEncoding DetectEncoding(const std::vector<std::string>& lines) {
    static const std::vector<char32_t> common = [] {
        std::vector<char32_t> points = CodePoints(kCommonHanzi);
        std::sort(points.begin(), points.end());
        return points;
    }();
    // A few thousand characters tell; reading only those keeps a long file quick to open.
    constexpr size_t kSamplePairs = 4096;
    std::string pairs;
    size_t count = 0;
    for (const std::string& line : lines) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        for (size_t i = 0; i + 1 < line.size() && count < kSamplePairs; ++i) {
            if (!IsDoubleBytePair(bytes[i], bytes[i + 1])) continue;
            pairs += {line[i], line[i + 1], '\n'};
            ++count;
            ++i;
        }
    }
    if (count == 0) return TEncoding::Gb;
    auto score = [&pairs](std::string (*decode)(std::string_view)) {
        const std::vector<char32_t> points = CodePoints(decode(pairs));
        long total = 0;
        for (size_t at = 0; at < points.size();) {
            const size_t end = std::find(points.begin() + at, points.end(), U'\n') - points.begin();
            total += end == at + 1 && points[at] != kReplacement ? Weight(points[at], common) : -2;
            at = end + 1;
        }
        return total;
    };
    return score(Big5ToUtf8) > score(Gb18030ToUtf8) ? TEncoding::Big5 : TEncoding::Gb;
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
