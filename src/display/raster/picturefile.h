#pragma once

#include <optional>
#include <string>

#include "display/raster/gridpicture.h"

namespace morvane {

/// The picture formats of the save-as command, by the number the display panel is given.
enum TPictureFormat : int { pfGif = 1, pfBmp = 2, pfPng = 3 };

/// The format named by its extension ("gif", "bmp" or "png"), if it is one.
std::optional<TPictureFormat> PictureFormatNamed(const std::string& name);

/// Writes an export picture (see ExportPicture) to path in format, replacing an existing file
/// whole or not at all. Throws EFileError, EGifException or EPngError.
void SavePictureFile(TPixelBuffer&& picture, const std::string& path, TPictureFormat format);

}  // namespace morvane
