#include "gif/gifsubimage.h"

#include <algorithm>

#include "gif/codetable.h"
#include "gif/encodedbytes.h"
#include "gif/gifexception.h"
#include "gif/gifprogress.h"

namespace morvane {
namespace {

int BitsForTableSize(int tableSize) {
    for (int bits = 1; bits <= 8; ++bits) {
        if (tableSize == 1 << bits) return bits;
    }
    throw EGifException("Number of colors (" + std::to_string(tableSize) +
                        ") wrong; must be a power of 2");
}

}  // namespace

TGifSubImage::TGifSubImage(TGifBitmap&& bitmap) : FBitmap(std::move(bitmap)) {}

TGifSubImage::TGifSubImage(int tableSize)
    : FBitsPerPixel(static_cast<std::uint8_t>(BitsForTableSize(tableSize))),
      FLocalTable(tableSize) {
    FLzwMinimumCodeSize = std::max<std::uint8_t>(2, FBitsPerPixel);
}

void TGifSubImage::SetPixels(TByteArray2D&& pixels) {
    FWidth = static_cast<std::uint16_t>(pixels.Width());
    FHeight = static_cast<std::uint16_t>(pixels.Height());
    FPixels = std::move(pixels);
}

void TGifSubImage::ReplaceBitmap(TByteArray2D&& indices, int tableSize) {
    TGifSubImage image(tableSize);
    image.SetPosition(FLeft, FTop);
    image.FExtensions = std::move(FExtensions);
    image.SetPixels(std::move(indices));
    *this = std::move(image);
}

void TGifSubImage::SetLocalTable(TColorTable&& table) {
    FLocalTable = std::move(table);
    FHasLocalTable = true;
}

void TGifSubImage::SetPosition(std::uint16_t left, std::uint16_t top) {
    FLeft = left;
    FTop = top;
}

// The code table lookup replaces a search, yet yields the same codes: see TCodeTable.
void TGifSubImage::Encode(const TProgressStep& step) {
    if (Encoded()) return;
    const std::uint8_t* pixels = FPixels.Data();
    const std::size_t count = FPixels.Count();
    TEncodedBytes out(FData);
    TCodeTable table(FLzwMinimumCodeSize);
    const unsigned clearCode = table.ClearCode();

    out.Write(clearCode, table.CodeWidth());
    GifProgress(step.Fraction(0, count));
    if (count > 0) {
        out.Write(pixels[0], table.CodeWidth());
        unsigned previous = pixels[0];
        std::size_t next = 1;
        while (next < count) {
            unsigned current = pixels[next++];
            table.Add(previous, current);
            while (next < count) {
                unsigned longer = table.Find(current, pixels[next]);
                if (longer == 0) break;
                current = longer;
                ++next;
            }
            out.Write(current, table.CodeWidth());
            previous = current;
            if (table.Full() && next < count) {
                out.Write(clearCode, table.CodeWidth());
                table.Clear();
                previous = pixels[next++];
                out.Write(previous, table.CodeWidth());
                GifProgress(step.Fraction(next, count));
            }
        }
    }
    out.Write(table.EndCode(), table.CodeWidth());
    out.Flush();
    FData.Close();
    GifProgress(step.Fraction(count, count));
}

void TGifSubImage::WriteTo(std::string& out) {
    Encode();
    FExtensions.WriteTo(out);
    out.push_back(',');
    AppendWord(out, FLeft);
    AppendWord(out, FTop);
    AppendWord(out, FWidth);
    AppendWord(out, FHeight);
    std::uint8_t packed = FHasLocalTable ? 0x80 | (FBitsPerPixel - 1) : 0;
    out.push_back(static_cast<char>(packed));
    if (FHasLocalTable) FLocalTable.WriteTriples(out);
    out.push_back(static_cast<char>(FLzwMinimumCodeSize));
    out.reserve(out.size() + FData.SubBlocks().size() + 2);
    out.append(FData.SubBlocks());
    out.push_back('\0');
}

void AppendWord(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace morvane
