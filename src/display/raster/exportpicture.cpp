#include "display/raster/exportpicture.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr std::uint32_t kWhitePixel = 0xFFFFFFFF;

}  // namespace

int ExportRowLimit(int width) {
    long rows = kExportPixelLimit / width;
    const long rest = kExportPixelLimit % width;
    if (2 * rest > width || (2 * rest == width && rows % 2 == 1)) ++rows;
    return static_cast<int>(rows);
}

TPixelBuffer ExportPicture(TPixelBuffer picture) {
    if (picture.Width <= 0 || picture.Height <= 0) throw EEmptyPicture();
    picture.Height = std::min(picture.Height, ExportRowLimit(picture.Width));
    picture.Pixels.resize(static_cast<std::size_t>(picture.Width) * picture.Height);
    std::fill_n(picture.Pixels.begin(), picture.Width, kWhitePixel);
    for (int y = 0; y < picture.Height; ++y) {
        picture.Pixels[static_cast<std::size_t>(y) * picture.Width] = kWhitePixel;
    }
    return picture;
}

}  // namespace morvane
