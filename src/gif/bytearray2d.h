#pragma once

#include <cstddef>
#include <cstdint>

#include "gif/bigbytearray.h"

namespace morvane {

/// Width x height bytes, rows stored one after the other from the top; (x, y) count from 1.
class TByteArray2D {
public:
    TByteArray2D() = default;
    /// Throws ENotEnoughMemory when the block cannot be obtained.
    TByteArray2D(int width, int height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    std::size_t Count() const { return FBytes.Count(); }
    /// Throws EIndexOutOfBounds when (x, y) lies outside the array.
    std::uint8_t At(int x, int y) const;
    /// Throws EIndexOutOfBounds when (x, y) lies outside the array.
    void Set(int x, int y, std::uint8_t value);
    /// Element (1, 1) and the rest in row order, for loops that stay within Count().
    std::uint8_t* Data() { return FBytes.Data(); }
    const std::uint8_t* Data() const { return FBytes.Data(); }

private:
    std::size_t Index(int x, int y) const;

    TBigByteArray FBytes;
    int FWidth = 0;
    int FHeight = 0;
};

}  // namespace morvane
