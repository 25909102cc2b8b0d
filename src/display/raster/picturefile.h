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

/// The part of a picture a blinking document changes, as its hidden phase shows it.
struct TBlinkFrame {
    TPixelRect Area;
    TPixelBuffer Pixels;
};

/// Exports a picture of a blinking document and writes it as SavePictureFile does: as a GIF, an
/// animation that shows shown and hidden (the same picture with its blinking cells hidden) for
/// half a second each, for ever, changing only area; in the other formats the shown phase alone.
/// Throws as SavePictureFile and ExportPicture do.
void SaveBlinkingPicture(TPixelBuffer&& shown, TPixelBuffer&& hidden, TPixelRect area,
                         const std::string& path, TPictureFormat format);

/// The pixels of rect (which lies within picture) as a picture of their own.
TPixelBuffer CropPicture(const TPixelBuffer& picture, TPixelRect rect);

}  // namespace morvane
