#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/largeblocks.h"

namespace morvane {

/// n bytes on the heap, numbered 1 to n, all 0 at first.
class TBigByteArray {
public:
    /// Throws ENotEnoughMemory when the block cannot be obtained.
    explicit TBigByteArray(std::size_t count = 0);

    std::size_t Count() const { return FBytes.size(); }
    /// Element index (1 to Count()); throws EIndexOutOfBounds otherwise.
    std::uint8_t At(std::size_t index) const;
    /// Sets element index (1 to Count()); throws EIndexOutOfBounds otherwise.
    void Set(std::size_t index, std::uint8_t value);
    /// The block itself, element 1 first, for loops that stay within Count().
    std::uint8_t* Data() { return FBytes.data(); }
    const std::uint8_t* Data() const { return FBytes.data(); }

private:
    void Check(std::size_t index) const;

    TLargeVector<std::uint8_t> FBytes;
};

}  // namespace morvane
