#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/colortable.h"
#include "gif/gifbitmap.h"
#include "gif/gifsubimage.h"

namespace morvane {

/// A GIF 87a file built from bitmaps: one colour table of the colours met, LZW data, no
/// extensions. Bitmaps of more than 256 colours are first reduced to 256.
class TGifFile {
public:
    TGifFile();

    /// Appends an image holding bitmap; the file owns it from now on.
    void AddBitmap(TGifBitmap&& bitmap);
    /// Builds the whole file in memory, then replaces fileName with it, so a failure leaves an
    /// existing file as it was. Throws EGifException (for instance for a bitmap without pixels)
    /// or EFileError.
    void SaveToFile(const std::string& fileName);
    /// Appends the whole file to stream; on an exception stream is unchanged. Saving again writes
    /// the same bytes without converting or encoding again.
    void SaveToStream(std::string& stream);

private:
    void ConvertBitmapImages();
    TGifSubImage ConvertBitmap(TGifBitmap& bitmap);
    std::uint8_t PackedScreenFields() const;

    std::string FHeader = "GIF87a";
    std::uint16_t FScreenWidth = 0;
    std::uint16_t FScreenHeight = 0;
    std::uint8_t FScreenPacked = 0;
    std::uint8_t FBackgroundIndex = 0;
    std::uint8_t FAspectRatio = 0;
    bool FHasGlobalTable = true;
    TColorTable FGlobalTable;
    std::uint8_t FColorBits = 1;
    std::vector<TGifSubImage> FImages;
};

}  // namespace morvane
