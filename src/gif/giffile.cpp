#include "gif/giffile.h"

#include <algorithm>

#include "gif/collectcolors.h"
#include "gif/gifexception.h"
#include "gif/reducecolors.h"
#include "platform/files.h"

namespace morvane {
namespace {

constexpr int kMaxSide = 0xFFFF;

void CheckBitmap(const TGifBitmap& bitmap) {
    if (bitmap.Width < 0 || bitmap.Height < 0 ||
        bitmap.Pixels.size() != static_cast<std::size_t>(bitmap.Width) * bitmap.Height) {
        throw EGifException("bitmap of " + std::to_string(bitmap.Width) + " x " +
                            std::to_string(bitmap.Height) + " pixels holds " +
                            std::to_string(bitmap.Pixels.size()) + " pixel values");
    }
    if (bitmap.Width > kMaxSide || bitmap.Height > kMaxSide) {
        throw EGifException("picture of " + std::to_string(bitmap.Width) + " x " +
                            std::to_string(bitmap.Height) +
                            " pixels is too large for GIF (at most 65535 x 65535)");
    }
}

}  // namespace

TGifFile::TGifFile() = default;

void TGifFile::AddBitmap(TGifBitmap&& bitmap) { FImages.emplace_back(std::move(bitmap)); }

void TGifFile::SaveToFile(const std::string& fileName) {
    std::string bytes;
    SaveToStream(bytes);
    WriteFileAtomic(fileName, bytes);
}

void TGifFile::SaveToStream(std::string& stream) {
    ConvertBitmapImages();
    const std::size_t start = stream.size();
    try {
        stream += FHeader;
        AppendWord(stream, FScreenWidth);
        AppendWord(stream, FScreenHeight);
        FScreenPacked = PackedScreenFields();
        stream.push_back(static_cast<char>(FScreenPacked));
        stream.push_back(static_cast<char>(FBackgroundIndex));
        stream.push_back(static_cast<char>(FAspectRatio));
        if (FHasGlobalTable) FGlobalTable.WriteTriples(stream);
        for (TGifSubImage& image : FImages) image.WriteTo(stream);
        stream.push_back(';');
    } catch (...) {
        stream.resize(start);
        throw;
    }
}

void TGifFile::ConvertBitmapImages() {
    for (TGifSubImage& image : FImages) {
        if (image.Bitmap() != nullptr) image = ConvertBitmap(*image.Bitmap());
    }
}

TGifSubImage TGifFile::ConvertBitmap(TGifBitmap& bitmap) {
    CheckBitmap(bitmap);
    TColorTable table;
    TByteArray2D indices;
    if (!CollectColors(bitmap, table, indices)) {
        // The reduced bitmap has at most 256 colours, so this second pass always succeeds.
        ReduceColors(bitmap, TColorTable::kMaxSize);
        CollectColors(bitmap, table, indices);
    }
    TGifSubImage image(table.Size());
    if (FGlobalTable.Size() == 0) {
        FGlobalTable = table;
    } else {
        image.SetLocalTable(std::move(table));
    }
    FColorBits = static_cast<std::uint8_t>(BitsForSize(FGlobalTable.Size()));
    image.SetPixels(std::move(indices));
    FScreenWidth = std::max<std::uint16_t>(FScreenWidth, image.Width());
    FScreenHeight = std::max<std::uint16_t>(FScreenHeight, image.Height());
    return image;
}

std::uint8_t TGifFile::PackedScreenFields() const {
    std::uint8_t packed = FHasGlobalTable ? 0x80 : 0;
    int size = FGlobalTable.Size();
    int n = 1;
    while (n <= 8 && size != 1 << n) ++n;
    if (n > 8) throw EGifException("unexpected number of colors");
    return static_cast<std::uint8_t>(packed + (n - 1) * 16 + FColorBits - 1);
}

}  // namespace morvane
