#include "document/charsets.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>

#include "document/pairclass.h"
#include "platform/gbcodec.h"

namespace morvane {

// Written at build time from the system's converters (charsettablesmain.cpp).
extern const char32_t kGbPairTable[];
extern const char32_t kBig5PairTable[];
extern const unsigned char kGbPairClass[];
extern const unsigned char kBig5PairClass[];

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool InRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// The well-formed UTF-8 character at the start of text: its length, or 0 when the bytes are no
// character (overlong forms, surrogates and values past U+10FFFF included).
size_t DecodeUtf8(std::string_view text, char32_t& code) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(text.data());
    if (text.empty()) return 0;
    if (b[0] < 0x80) {
        code = b[0];
        return 1;
    }
    size_t length = 0;
    char32_t min = 0;
    if (b[0] >= 0xC2 && b[0] <= 0xDF) {
        length = 2, min = 0x80, code = b[0] & 0x1F;
    } else if (b[0] >= 0xE0 && b[0] <= 0xEF) {
        length = 3, min = 0x800, code = b[0] & 0x0F;
    } else if (b[0] >= 0xF0 && b[0] <= 0xF4) {
        length = 4, min = 0x10000, code = b[0] & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((b[k] & 0xC0) != 0x80) return 0;
        code = code << 6 | (b[k] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || InRange(code, 0xD800, 0xDFFF)) return 0;
    return length;
}


// Every code point that GB or Big5 writes as a pair: a CJK terminal gives it two cells.
const std::bitset<0x10000>& PairCharacters() {
    static const std::bitset<0x10000> set = [] {
        std::bitset<0x10000> characters;
        for (int slot = 0; slot < kDoubleByteSlots; ++slot) {
            for (const char32_t* table : {kGbPairTable, kBig5PairTable}) {
                const char32_t c = table[slot];
                if (c >= 0x80 && c < characters.size()) characters.set(c);
            }
        }
        return characters;
    }();
    return set;
}

bool IsWideEastAsian(char32_t c) {
    return InRange(c, 0x1100, 0x115F) || InRange(c, 0x2E80, 0x303E) || InRange(c, 0x3041, 0x33FF) ||
           InRange(c, 0x3400, 0x4DBF) || InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0xA000, 0xA4CF) ||
           InRange(c, 0xAC00, 0xD7A3) || InRange(c, 0xF900, 0xFAFF) || InRange(c, 0xFE10, 0xFE19) ||
           InRange(c, 0xFE30, 0xFE6F) || InRange(c, 0xFF00, 0xFF60) || InRange(c, 0xFFE0, 0xFFE6) ||
           InRange(c, 0x1F300, 0x1F64F) || InRange(c, 0x1F900, 0x1F9FF) ||
           InRange(c, 0x20000, 0x3FFFD);
}


// The weight of the pair at slots[at] in a reading by its class (see pairclass.h): a kana or a
// shape counts for more beside another of its kind.
int PairWeight(const unsigned char* classes, const std::vector<int>& slots, size_t at) {
    const unsigned char pair = classes[slots[at]];
    const unsigned char kind = pair & (kPairKana | kPairShape);
    if (kind == 0) return (pair & 0x0F) - kPairWeightBias;
    const bool besideItsKind =
        (at > 0 && slots[at - 1] >= 0 && (classes[slots[at - 1]] & kind)) ||
        (at + 1 < slots.size() && slots[at + 1] >= 0 && (classes[slots[at + 1]] & kind));
    if (kind == kPairKana) return besideItsKind ? 5 : 0;
    return besideItsKind ? 3 : 2;
}

}  // namespace

char32_t PairToUnicode(TEncoding encoding, std::uint8_t lead, std::uint8_t trail) {
    if (!IsDoubleBytePair(lead, trail)) return 0;
    return (encoding == TEncoding::Big5 ? kBig5PairTable
                                        : kGbPairTable)[DoubleByteSlot(lead, trail)];
}

bool FindPair(char32_t code, TEncoding& encoding, std::uint8_t& lead, std::uint8_t& trail) {
    // Each entry: the code point, then GB before Big5, then the slot.
    static const std::vector<std::uint64_t> pairs = [] {
        std::vector<std::uint64_t> entries;
        for (std::uint64_t set = 0; set < 2; ++set) {
            const char32_t* table = set == 0 ? kGbPairTable : kBig5PairTable;
            for (int slot = 0; slot < kDoubleByteSlots; ++slot)
                if (table[slot] != 0)
                    entries.push_back(std::uint64_t{table[slot]} << 32 | set << 16 | slot);
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    }();
    const auto found = std::lower_bound(pairs.begin(), pairs.end(), std::uint64_t{code} << 32);
    if (found == pairs.end() || *found >> 32 != code) return false;
    encoding = (*found >> 16 & 1) ? TEncoding::Big5 : TEncoding::Gb;
    const int slot = static_cast<int>(*found & 0xFFFF);
    lead = static_cast<std::uint8_t>(0x81 + slot / (0xFE - 0x40 + 1));
    trail = static_cast<std::uint8_t>(0x40 + slot % (0xFE - 0x40 + 1));
    return true;
}

int Utf8Cells(char32_t code) {
    if (code < 0x80) return 1;
    if (code < 0x10000 && PairCharacters()[code]) return 2;
    return IsWideEastAsian(code) ? 2 : 1;
}

TCharacter NextCharacter(TEncoding encoding, std::string_view text) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(text.data());
    if (encoding == TEncoding::Utf8) {
        char32_t code = 0;
        const size_t length = DecodeUtf8(text, code);
        if (length == 0) return {1, 1, 0};
        return {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(Utf8Cells(code)),
                code};
    }
    if (text.size() >= 2 && IsDoubleBytePair(b[0], b[1]))
        return {2, 2, PairToUnicode(encoding, b[0], b[1])};
    return {1, 1, b[0] < 0x80 ? b[0] : char32_t{0}};
}

std::size_t CellCount(TEncoding encoding, std::string_view text) {
    if (encoding != TEncoding::Utf8) return text.size();
    std::size_t cells = 0;
    for (size_t i = 0; i < text.size();) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(text.data()) + i;
        if (*b < 0x80) {
            ++cells, ++i;
            continue;
        }
        const TCharacter ch = NextCharacter(encoding, text.substr(i));
        cells += ch.Cells;
        i += ch.Bytes;
    }
    return cells;
}

bool IsUtf8Art(std::string_view text) {
    // A megabyte tells; a character cut at its end does not count against the text.
    constexpr size_t kSampleBytes = 1 << 20;
    const bool cut = text.size() > kSampleBytes;
    if (cut) text = text.substr(0, kSampleBytes);
    size_t multiByte = 0;
    bool wide = false;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<std::uint8_t>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t code = 0;
        const size_t length = DecodeUtf8(text.substr(i), code);
        if (length == 0) return cut && text.size() - i < 4 && multiByte > 0;
        ++multiByte;
        wide = wide || code >= 0x800;
        i += length;
    }
    // A few GB pairs may happen to be UTF-8 of Latin or Cyrillic letters; three-byte characters
    // (CJK, lines and shapes) or several letters do not happen by chance.
    return wide || multiByte >= 3;
}

TEncoding DetectEncoding(const std::vector<std::string>& lines) {
    // A few thousand characters tell; reading only those keeps a long file quick to open.
    constexpr size_t kSamplePairs = 4096;
    // The pairs in text order, a slot of -1 where a single byte or a line end comes between.
    std::vector<int> slots;
    slots.reserve(std::min<size_t>(2 * kSamplePairs, 1024));
    size_t pairs = 0;
    for (const std::string& line : lines) {
        if (pairs >= kSamplePairs) break;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        for (size_t i = 0; i < line.size() && pairs < kSamplePairs; ++i) {
            if (i + 1 < line.size() && IsDoubleBytePair(bytes[i], bytes[i + 1])) {
                slots.push_back(DoubleByteSlot(bytes[i], bytes[i + 1]));
                ++pairs;
                ++i;
            } else if (!slots.empty() && slots.back() >= 0) {
                slots.push_back(-1);
            }
        }
        if (!slots.empty() && slots.back() >= 0) slots.push_back(-1);
    }
    // A character repeated across a picture says little more than once: each distinct pair
    // counts by 1 + log2 of its repeats, its k-th repeat adding log2(k / (k - 1)) of its weight.
    static const std::array<double, 65> kRepeatSteps = [] {
        std::array<double, 65> steps{0, 1};
        for (int k = 2; k < 65; ++k) steps[k] = std::log2(static_cast<double>(k) / (k - 1));
        return steps;
    }();
    std::vector<std::uint16_t> repeats(kDoubleByteSlots, 0);
    double gb = 0;
    double big5 = 0;
    for (size_t at = 0; at < slots.size(); ++at) {
        if (slots[at] < 0) continue;
        const unsigned k = ++repeats[slots[at]];
        const double step = k < kRepeatSteps.size() ? kRepeatSteps[k] : 1.4427 / (k - 0.5);
        gb += step * PairWeight(kGbPairClass, slots, at);
        big5 += step * PairWeight(kBig5PairClass, slots, at);
    }
    return big5 > gb ? TEncoding::Big5 : TEncoding::Gb;
}

const char* CharsetName(TEncoding encoding) {
    switch (encoding) {
        case TEncoding::Big5:
            return "big5";
        case TEncoding::Utf8:
            return "utf-8";
        default:
            return "gb2312";
    }
}

void AppendUtf8(std::string& utf8, char32_t c) {
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
}

std::string EncodedToUtf8(TEncoding encoding, std::string_view text) {
    if (encoding == TEncoding::Gb) return Gb18030ToUtf8(text);
    std::string utf8;
    utf8.reserve(text.size() * 3 / 2);
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
            ++i;
            continue;
        }
        const TCharacter ch = NextCharacter(encoding, text.substr(i));
        if (ch.Code == 0) {
            // The next byte may start a character of its own.
            AppendUtf8(utf8, kReplacement);
            ++i;
            continue;
        }
        if (encoding == TEncoding::Utf8)
            utf8.append(text.data() + i, ch.Bytes);
        else
            AppendUtf8(utf8, ch.Code);
        i += ch.Bytes;
    }
    return utf8;
}

}  // namespace morvane
