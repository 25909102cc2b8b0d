// Writes the code points of every double-byte pair in GB18030 and in Big5 as C++ arrays, so
// that the program reads art without loading the system's converters each time it starts, and
// the class of each pair's character that tells which encoding art is in.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "document/pairclass.h"
#include "platform/gbcodec.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsPair(int lead, int trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

std::vector<char32_t> CodePoints(const std::string& utf8) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < utf8.size();) {
        const auto first = static_cast<unsigned char>(utf8[i]);
        const size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? first : first & (0x3F >> (length - 1));
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points.push_back(code);
        i += length;
    }
    return points;
}

// All pairs are decoded in one call, each followed by a newline, so that a pair the decoder
// rejects cannot shift the pairs after it. A pair the first decoder leaves out, or gives only a
// private-use code point, gets the fallback's.
std::vector<char32_t> Table(std::string (*decode)(std::string_view),
                            std::string (*fallback)(std::string_view)) {
    std::string pairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (IsPair(lead, trail))
                pairs += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
    std::vector<char32_t> table((0xFE - 0x81 + 1) * (0xFE - 0x40 + 1), 0);
    for (auto* decoder : {fallback, decode}) {
        if (!decoder) continue;
        const std::vector<char32_t> points = CodePoints(decoder(pairs));
        size_t at = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (!IsPair(lead, trail)) continue;
                size_t end = at;
                while (end < points.size() && points[end] != U'\n') ++end;
                if (end >= points.size()) return table;
                // One code point between the newlines is the pair's own; more is a pair read as
                // something else. A private-use code point (code page 950 gives them for the
                // ETen kana and symbols) does not replace a real character of the fallback.
                char32_t& slot = table[(lead - 0x81) * (0xFE - 0x40 + 1) + (trail - 0x40)];
                const char32_t c = points[at];
                const bool privateUse = c >= 0xE000 && c <= 0xF8FF;
                if (end == at + 1 && c != kReplacement && c != 0 && !(privateUse && slot != 0))
                    slot = c;
                at = end + 1;
            }
        }
    }
    return table;
}

// What each pair's character says of the reading that gave it, for finding the encoding.
void WriteClasses(std::FILE* out, const char* name, const std::vector<char32_t>& table,
                  bool big5) {
    std::fprintf(out, "extern const unsigned char %s[%zu];\nconst unsigned char %s[%zu] = {", name,
                 table.size(), name, table.size());
    for (size_t slot = 0; slot < table.size(); ++slot) {
        const auto lead = static_cast<std::uint8_t>(0x81 + slot / (0xFE - 0x40 + 1));
        const auto trail = static_cast<std::uint8_t>(0x40 + slot % (0xFE - 0x40 + 1));
        std::fprintf(out, "%s%u,", slot % 24 == 0 ? "\n" : "",
                     morvane::ClassifyPair(big5, lead, trail, table[slot]));
    }
    std::fprintf(out, "\n};\n");
}

void Write(std::FILE* out, const char* name, const std::vector<char32_t>& table) {
    std::fprintf(out, "extern const char32_t %s[%zu];\nconst char32_t %s[%zu] = {", name,
                 table.size(), name, table.size());
    for (size_t i = 0; i < table.size(); ++i)
        std::fprintf(out, "%s0x%X,", i % 12 == 0 ? "\n" : "", static_cast<unsigned>(table[i]));
    std::fprintf(out, "\n};\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    const std::vector<char32_t> gb = Table(morvane::Gb18030ToUtf8, nullptr);
    const std::vector<char32_t> big5 = Table(morvane::Big5ToUtf8, morvane::Big5HkscsToUtf8);
    // Without the system's converters there is nothing to write; better no build than no text.
    if (gb[(0xD6 - 0x81) * (0xFE - 0x40 + 1) + (0xD0 - 0x40)] != U'\u4E2D' ||
        big5[(0xA4 - 0x81) * (0xFE - 0x40 + 1) + (0xA4 - 0x40)] != U'\u4E2D') {
        std::fprintf(stderr, "%s: the GB18030 and Big5 converters are missing\n", argv[0]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) return 1;
    std::fprintf(out, "// Written by morvane-charsettables at build time.\nnamespace morvane {\n");
    Write(out, "kGbPairTable", gb);
    Write(out, "kBig5PairTable", big5);
    WriteClasses(out, "kGbPairClass", gb, false);
    WriteClasses(out, "kBig5PairClass", big5, true);
    // What the tables hold, so that glyphs drawn from older tables are not taken for theirs.
    std::uint64_t digest = 0xCBF29CE484222325u;
    for (const std::vector<char32_t>* table : {&gb, &big5}) {
        for (char32_t c : *table) {
            for (int shift = 0; shift < 32; shift += 8) {
                digest ^= (c >> shift) & 0xFF;
                digest *= 0x100000001B3u;
            }
        }
    }
    std::fprintf(out, "extern const unsigned long long kPairTablesDigest;\n");
    std::fprintf(out, "const unsigned long long kPairTablesDigest = 0x%llXull;\n",
                 static_cast<unsigned long long>(digest));
    std::fprintf(out, "}  // namespace morvane\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
