#include "gif/bytearray2d.h"

#include "gif/gifexception.h"

namespace morvane {

TByteArray2D::TByteArray2D(int width, int height)
    : FBytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
      FWidth(width),
      FHeight(height) {}

std::uint8_t TByteArray2D::At(int x, int y) const { return FBytes.At(Index(x, y)); }

void TByteArray2D::Set(int x, int y, std::uint8_t value) { FBytes.Set(Index(x, y), value); }

// A column past the row's end would silently land in the next row, so it is refused here.
std::size_t TByteArray2D::Index(int x, int y) const {
    if (x < 1 || x > FWidth || y < 1 || y > FHeight) throw EIndexOutOfBounds();
    return static_cast<std::size_t>(x) + static_cast<std::size_t>(y - 1) * FWidth;
}

}  // namespace morvane
