#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gif/bytearray2d.h"
#include "gif/bytebuffer.h"
#include "gif/colortable.h"
#include "gif/extensionlist.h"
#include "gif/gifbitmap.h"
#include "gif/gifprogress.h"

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
    /// Frees the waiting bitmap and takes its indices into a table of tableSize entries as the
    /// pixels; keeps the position and extensions. Throws EGifException, changing nothing, unless
    /// tableSize is 2, 4, … 256.
    void ReplaceBitmap(TByteArray2D&& indices, int tableSize);
    /// Gives the image its own colour table instead of the file's.
    void SetLocalTable(TColorTable&& table);
    /// Places the image's top left corner at (left, top) of the logical screen.
    void SetPosition(std::uint16_t left, std::uint16_t top);
    /// The blocks written before the image, such as its graphic control extension.
    TExtensionList& Extensions() { return FExtensions; }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    std::size_t PixelCount() const { return FPixels.Count(); }
    const TByteBuffer& Data() const { return FData; }
    bool Encoded() const { return !FData.Empty(); }
    /// LZW-encodes the pixels unless already done, reporting progress as step of a longer pass.
    void Encode(const TProgressStep& step = {});
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
