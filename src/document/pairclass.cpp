#include "document/pairclass.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace morvane {

extern const char kSimplifiedTier1[];
extern const char kSimplifiedTier2[];
extern const char kSimplifiedTier3[];
extern const char kTraditionalTier1[];
extern const char kTraditionalTier2[];
extern const char kTraditionalTier3[];

namespace {

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// The code points of well-formed UTF-8 text.
template <typename F>
void ForEachCodePoint(std::string_view utf8, F f) {
    for (size_t i = 0; i < utf8.size();) {
        const auto first = static_cast<unsigned char>(utf8[i]);
        const size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? first : first & (0x3F >> (length - 1));
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        f(code);
        i += length;
    }
}

// How commonly each character is used: the low four bits give its tier in simplified text, the
// high four in traditional text (1 most used, 3 least, 0 not listed).
const std::array<std::uint8_t, 0x10000>& HanziTiers() {
    static const std::array<std::uint8_t, 0x10000> tiers = [] {
        std::array<std::uint8_t, 0x10000> table{};
        const char* simplified[] = {kSimplifiedTier1, kSimplifiedTier2, kSimplifiedTier3};
        const char* traditional[] = {kTraditionalTier1, kTraditionalTier2, kTraditionalTier3};
        for (int tier = 3; tier >= 1; --tier) {
            ForEachCodePoint(simplified[tier - 1], [&table, tier](char32_t c) {
                if (c < table.size()) table[c] = (table[c] & 0xF0) | tier;
            });
            ForEachCodePoint(traditional[tier - 1], [&table, tier](char32_t c) {
                if (c < table.size()) table[c] = (table[c] & 0x0F) | tier << 4;
            });
        }
        return table;
    }();
    return tiers;
}

bool IsHanzi(char32_t c) {
    return InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0x3400, 0x4DBF) || InRange(c, 0xF900, 0xFAFF) ||
           InRange(c, 0x20000, 0x2FFFF);
}

// The shapes art is drawn with: lines, blocks, geometric shapes, stars and suits.
bool IsShape(char32_t c) {
    return InRange(c, 0x2500, 0x25FF) || c == 0x2605 || c == 0x2606 || c == 0x2640 || c == 0x2642 ||
           InRange(c, 0x2660, 0x266F);
}

bool IsKana(char32_t c) { return InRange(c, 0x3041, 0x30FF); }

// The punctuation of Chinese sentences and the full-width letters and digits.
bool IsCommonPunctuation(char32_t c) {
    static constexpr char32_t kPunctuation[] = {
        U'，', U'。', U'、', U'；', U'：', U'？', U'！', U'…',  U'—',  U'～', U'·',
        U'「', U'」', U'『', U'』', U'（', U'）', U'《', U'》', U'〈', U'〉', U'【',
        U'】', U'〔', U'〕', U'“',  U'”',  U'‘',  U'’',  U'．', U'　'};
    return InRange(c, 0xFF01, 0xFF5E) ||
           std::find(std::begin(kPunctuation), std::end(kPunctuation), c) != std::end(kPunctuation);
}

// What one character says of the reading that gave it, as a rough log-likelihood: the
// characters a board's text and pictures are made of score high, characters only a wrong reading
// gives score low. A kana alone says nothing, as Big5's common characters read as GB kana; the
// reader counts kana and shapes for more among their own kind.
int Weight(bool big5, std::uint8_t lead, std::uint8_t trail, char32_t c) {
    if (c == 0 || c == 0xFFFD || InRange(c, 0xE000, 0xF8FF)) return -4;
    if (IsHanzi(c)) {
        const std::uint8_t tiers = c < 0x10000 ? HanziTiers()[c] : 0;
        const int tier = big5 ? tiers >> 4 : tiers & 0x0F;
        if (tier != 0) return 5 - tier;
        if (!big5) {
            if (trail >= 0xA1 && lead >= 0xB0 && lead <= 0xD7) return 0;
            if (trail >= 0xA1 && lead >= 0xD8 && lead <= 0xF7) return -1;
            return -2;
        }
        if (lead >= 0xA4 && lead <= 0xC6) return 0;
        if (lead >= 0xC9 && lead <= 0xF9) return -1;
        return -2;
    }
    if (IsShape(c)) return 2;
    if (IsKana(c)) return 0;
    if (IsCommonPunctuation(c)) return 1;
    return 0;
}

}  // namespace

std::uint8_t ClassifyPair(bool big5, std::uint8_t lead, std::uint8_t trail, char32_t c) {
    std::uint8_t flags = 0;
    if (IsKana(c)) flags = kPairKana;
    if (IsShape(c)) flags = kPairShape;
    const int weight = Weight(big5, lead, trail, c);
    return static_cast<std::uint8_t>(flags | (weight + kPairWeightBias));
}

}  // namespace morvane
