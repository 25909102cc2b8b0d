#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/largeblocks.h"

namespace morvane {

/// The LZW string table of the GIF encoder: each code from the first free one stands for the
/// string of its prefix code followed by one suffix index.
class TCodeTable {
public:
    static constexpr unsigned kCodeLimit = 4096;

    /// A cleared table for indices of minimumCodeSize bits (2 to 8).
    explicit TCodeTable(int minimumCodeSize);

    /// Empties the table and returns to the initial code width.
    void Clear();
    /// Adds prefix + suffix at the next code, widening the codes when the format expects it.
    /// The pair must not be in the table yet; the table must not be full.
    void Add(unsigned prefix, unsigned suffix) {
        FPrefix[FNextCode] = static_cast<std::uint16_t>(prefix);
        FSuffix[FNextCode] = static_cast<std::uint16_t>(suffix);
        FLookup[Key(prefix, suffix)] = static_cast<std::uint16_t>(FNextCode);
        ++FNextCode;
        if (FNextCode == kCodeLimit) {
            FFull = true;
        } else if ((1u << FCodeWidth) < FNextCode) {
            ++FCodeWidth;
        }
    }
    /// The code of prefix + suffix, or 0 when the table has none.
    unsigned Find(unsigned prefix, unsigned suffix) const { return FLookup[Key(prefix, suffix)]; }

    unsigned ClearCode() const { return 1u << FMinimumCodeSize; }
    unsigned EndCode() const { return ClearCode() + 1; }
    int CodeWidth() const { return FCodeWidth; }
    bool Full() const { return FFull; }

private:
    unsigned Key(unsigned prefix, unsigned suffix) const {
        return (prefix << FMinimumCodeSize) | suffix;
    }

    std::array<std::uint16_t, kCodeLimit> FSuffix{};
    std::array<std::uint16_t, kCodeLimit> FPrefix{};
    int FCodeWidth = 0;
    bool FFull = false;
    unsigned FFirstFreeCode = 0;
    unsigned FNextCode = 0;
    int FMinimumCodeSize = 0;
    // Direct index of (prefix, suffix) to code: one step instead of a search per pixel. Each pair
    // is added at most once between clears, so the code found is the only one there is.
    TLargeVector<std::uint16_t> FLookup;
};

}  // namespace morvane
