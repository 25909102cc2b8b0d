#include "display/gbkcharset.h"

#include <iconv.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace morvane {
namespace {

constexpr int kTrailCount = 0xFE - 0x40 + 1;

int PairIndex(std::uint8_t lead, std::uint8_t trail) {
    return (lead - 0x81) * kTrailCount + (trail - 0x40);
}

struct TIconvClose {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// glibc's GB18030 covers every GBK pair, GB2312 and the GBK extensions alike.
std::vector<char32_t> BuildTable() {
    iconv_t raw = iconv_open("UTF-32LE", "GB18030");
    if (raw == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("the C library cannot convert GB18030 text (iconv)");
    }
    std::unique_ptr<void, TIconvClose> cd(raw);
    std::vector<char32_t> table(PairIndex(0xFE, 0xFE) + 1, 0);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsGbkPair(lead, trail)) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[4] = {};
            char* inPtr = in;
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t inLeft = sizeof in;
            std::size_t outLeft = sizeof out;
            iconv(raw, nullptr, nullptr, nullptr, nullptr);
            if (iconv(raw, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
                outLeft != 0) {
                continue;
            }
            table[PairIndex(lead, trail)] =
                out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
        }
    }
    return table;
}

}  // namespace

char32_t GbkToUnicode(std::uint8_t lead, std::uint8_t trail) {
    if (!IsGbkPair(lead, trail)) return 0;
    static const std::vector<char32_t> table = BuildTable();
    return table[PairIndex(lead, trail)];
}

}  // namespace morvane
