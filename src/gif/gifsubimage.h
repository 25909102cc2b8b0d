#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gif/bytearray2d.h"
#include "gif/bytebuffer.h"
#include "gif/colortable.h"
#include "gif/extensionlist.h"
#include "gif/gifbitmap.h"

namespace morvane {

/// One image of a GIF file: either a bitmap waiting to be converted, or colour-table indices
/// with their LZW-encoded data.
class TGifSubImage {
public:
    /// An image that holds bitmap until the file converts it; owns the bitmap.
    explicit TGifSubImage(TGifBitmap&& bitmap);
    /// An image without pixels for a colour table of tableSize entries. Throws EGifException
    /// unless tableSize is 2, 4, … 256.
    explicit TGifSubImage(int tableSize);

    /// The bitmap still to convert, or nullptr.
    TGifBitmap* Bitmap() { return FBitmap ? &*FBitmap : nullptr; }
    /// Takes the indices (each below the table size) as the image's pixels and size.
    void SetPixels(TByteArray2D&& pixels);
    /// Gives the image its own colour table instead of the file's.
    void SetLocalTable(TColorTable&& table);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const TByteBuffer& Data() const { return FData; }
    /// LZW-encodes the pixels unless already done.
    void Encode();
    /// Appends the extensions, separator, descriptor, local table and data; encodes first.
    void WriteTo(std::string& out);

private:
    std::optional<TGifBitmap> FBitmap;
    std::uint8_t FLzwMinimumCodeSize = 2;
    TByteBuffer FData;
    std::uint16_t FLeft = 0;
    std::uint16_t FTop = 0;
    std::uint16_t FWidth = 0;
    std::uint16_t FHeight = 0;
    bool FHasLocalTable = false;
    TExtensionList FExtensions;
    std::uint8_t FBitsPerPixel = 1;
    TByteArray2D FPixels;
    TColorTable FLocalTable;
};

/// Appends value as two bytes, low byte first.
void AppendWord(std::string& out, std::uint16_t value);

}  // namespace morvane
