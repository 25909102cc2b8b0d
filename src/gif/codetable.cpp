#include "gif/codetable.h"

namespace morvane {

TCodeTable::TCodeTable(int minimumCodeSize)
    : FFirstFreeCode((1u << minimumCodeSize) + 2),
      FNextCode(FFirstFreeCode),
      FMinimumCodeSize(minimumCodeSize),
      FLookup(static_cast<std::size_t>(kCodeLimit) << minimumCodeSize) {
    FCodeWidth = minimumCodeSize + 1;
}

// Only the entries in use are erased: far cheaper than wiping the lookup for every clear.
void TCodeTable::Clear() {
    for (unsigned code = FFirstFreeCode; code < FNextCode; ++code) {
        FLookup[Key(FPrefix[code], FSuffix[code])] = 0;
    }
    FNextCode = FFirstFreeCode;
    FCodeWidth = FMinimumCodeSize + 1;
    FFull = false;
}

}  // namespace morvane
