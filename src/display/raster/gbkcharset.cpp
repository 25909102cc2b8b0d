#include "display/raster/gbkcharset.h"

#include <string>
#include <vector>

#include "platform/gbcodec.h"

namespace morvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point of one whole UTF-8 sequence; 0 for anything else.
char32_t SingleCodePoint(const std::string& utf8) {
    if (utf8.empty()) return 0;
    const auto first = static_cast<unsigned char>(utf8[0]);
    const std::size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    if (utf8.size() != length) return 0;
    char32_t code = length == 1 ? first : first & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        code = code << 6 | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    }
    return code == kReplacement ? 0 : code;
}

// All pairs are decoded in one call, each followed by a newline, so that a pair the decoder
// rejects cannot shift the pairs after it.
std::vector<char32_t> BuildTable() {
    std::string pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsGbkPair(lead, trail)) continue;
            pairs += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
        }
    }
    const std::string utf8 = Gb18030ToUtf8(pairs);
    std::vector<char32_t> table(kGbkPairSlots, 0);
    std::size_t start = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsGbkPair(lead, trail)) continue;
            const std::size_t end = utf8.find('\n', start);
            if (end == std::string::npos) return table;
            table[GbkPairIndex(lead, trail)] = SingleCodePoint(utf8.substr(start, end - start));
            start = end + 1;
        }
    }
    return table;
}

}  // namespace

char32_t GbkToUnicode(std::uint8_t lead, std::uint8_t trail) {
    if (!IsGbkPair(lead, trail)) return 0;
    static const std::vector<char32_t> table = BuildTable();
    return table[GbkPairIndex(lead, trail)];
}

}  // namespace morvane
