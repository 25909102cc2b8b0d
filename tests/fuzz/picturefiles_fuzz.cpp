// The picture files on any picture: the export whitens its first row and column and keeps the
// rest; libpng reads the PNG file back pixel for pixel, and the BMP file holds every pixel where
// its rows say.
#include <png.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/raster/bmpfile.h"
#include "display/raster/exportpicture.h"
#include "display/raster/pngfile.h"

namespace {

using morvane::TPixelBuffer;

void CheckPng(const TPixelBuffer& picture) {
    const morvane::TLargeVector<char> file = morvane::EncodePng(picture);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) std::abort();
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) std::abort();
    if (static_cast<int>(image.width) != picture.Width ||
        static_cast<int>(image.height) != picture.Height)
        std::abort();
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
        const std::uint32_t pixel = picture.Pixels[i];
        if (rgb[3 * i] != (pixel >> 16 & 0xFF) || rgb[3 * i + 1] != (pixel >> 8 & 0xFF) ||
            rgb[3 * i + 2] != (pixel & 0xFF))
            std::abort();
    }
}

void CheckBmp(const TPixelBuffer& picture) {
    const morvane::TLargeVector<char> file = morvane::EncodeBmp(picture);
    const std::size_t rowBytes = (3 * static_cast<std::size_t>(picture.Width) + 3) / 4 * 4;
    if (file.size() != 54 + rowBytes * picture.Height) std::abort();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint8_t* row = bytes + 54 + rowBytes * (picture.Height - 1 - y);
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint32_t pixel = picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
            if (row[3 * x] != (pixel & 0xFF) || row[3 * x + 1] != (pixel >> 8 & 0xFF) ||
                row[3 * x + 2] != (pixel >> 16 & 0xFF))
                std::abort();
        }
    }
}

void CheckExport(const TPixelBuffer& picture) {
    const TPixelBuffer exported = morvane::ExportPicture(picture);
    if (exported.Width != picture.Width || exported.Height != picture.Height) std::abort();
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * picture.Width + x;
            const std::uint32_t want = x == 0 || y == 0 ? 0xFFFFFFFF : picture.Pixels[i];
            if (exported.Pixels[i] != want) std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A byte of width, a byte that narrows the colours, then pixels of three bytes each.
    if (size < 2) return 0;
    TPixelBuffer picture;
    picture.Width = 1 + data[0] % 64;
    picture.Height = static_cast<int>((size - 2) / 3 / picture.Width);
    const std::uint32_t colours = 1 + data[1];
    for (std::size_t i = 0; i < static_cast<std::size_t>(picture.Width) * picture.Height; ++i) {
        const std::uint8_t* p = data + 2 + 3 * i;
        std::uint32_t colour = p[0] << 16 | p[1] << 8 | p[2];
        if (colours < 256) colour = colour % colours * 65599u & 0xFFFFFF;
        picture.Pixels.push_back(0xFF000000 | colour);
    }
    if (picture.Height == 0) {
        try {
            morvane::EncodePng(picture);
            std::abort();
        } catch (const morvane::EPngError&) {
        }
        return 0;
    }
    CheckPng(picture);
    CheckBmp(picture);
    CheckExport(picture);
    return 0;
}
