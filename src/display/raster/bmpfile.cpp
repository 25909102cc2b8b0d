#include "display/raster/bmpfile.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "gif/gifprogress.h"

namespace morvane {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// 96 dots per inch in pixels per metre.
constexpr std::uint32_t kPixelsPerMetre = 3780;

void Put16(TLargeVector<char>& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void Put32(TLargeVector<char>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

}  // namespace

TLargeVector<char> EncodeBmp(const TPixelBuffer& picture) {
    const std::uint64_t rowBytes = (3ull * picture.Width + 3) & ~3ull;
    const std::uint64_t imageBytes = rowBytes * picture.Height;
    const std::uint64_t fileBytes = kFileHeaderSize + kInfoHeaderSize + imageBytes;
    if (fileBytes > UINT32_MAX) throw std::length_error("picture too large for a BMP file");

    TLargeVector<char> out{'B', 'M'};
    Put32(out, static_cast<std::uint32_t>(fileBytes));
    Put32(out, 0);
    Put32(out, kFileHeaderSize + kInfoHeaderSize);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(picture.Width));
    Put32(out, static_cast<std::uint32_t>(picture.Height));
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, 0);   // no compression
    Put32(out, static_cast<std::uint32_t>(imageBytes));
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0);  // colours used: all
    Put32(out, 0);  // important colours: all

    const std::size_t headerBytes = out.size();
    out.resize(fileBytes);
    char* row = out.data() + headerBytes;
    GifProgress(0.0f);
    for (int y = picture.Height - 1; y >= 0; --y, row += rowBytes) {
        const std::uint32_t* in =
            picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width;
        char* at = row;
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint32_t pixel = in[x];
            *at++ = static_cast<char>(pixel);
            *at++ = static_cast<char>(pixel >> 8);
            *at++ = static_cast<char>(pixel >> 16);
        }
        GifProgress(static_cast<float>(picture.Height - y) / static_cast<float>(picture.Height));
    }
    return out;
}

}  // namespace morvane
