#pragma once

#include <stdexcept>

#include "display/raster/gridpicture.h"

namespace morvane {

/// An export has at most about this many pixels: a wider picture keeps fewer rows.
constexpr long kExportPixelLimit = 18160000;

/// There is nothing to write: the picture has no pixels.
class EEmptyPicture : public std::runtime_error {
public:
    EEmptyPicture() : std::runtime_error("nothing to save: the picture is empty") {}
};

/// The rows an export of a picture width pixels wide keeps at most: kExportPixelLimit / width,
/// rounded to the nearest, ties to even. width must be above 0.
int ExportRowLimit(int width);

/// The picture as it is saved: its top rows up to ExportRowLimit, with the first pixel row and
/// column white. Throws EEmptyPicture when it has no pixels.
TPixelBuffer ExportPicture(TPixelBuffer picture);

}  // namespace morvane
