#include "gif/giffile.h"

#include <algorithm>

#include "gif/collectcolors.h"
#include "gif/gifexception.h"
#include "gif/reducecolors.h"
#include "platform/files.h"

namespace morvane {
namespace {

constexpr int kMaxSide = 0xFFFF;

std::string Size(long long width, long long height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string Place(long long left, long long top) {
    return "(" + std::to_string(left) + ", " + std::to_string(top) + ")";
}

void CheckBitmap(const TGifBitmap& bitmap, int left, int top) {
    if (bitmap.Width < 0 || bitmap.Height < 0 ||
        bitmap.Pixels.size() != static_cast<std::size_t>(bitmap.Width) * bitmap.Height) {
        throw EGifException("bitmap of " + Size(bitmap.Width, bitmap.Height) + " pixels holds " +
                            std::to_string(bitmap.Pixels.size()) + " pixel values");
    }
    if (left == 0 && top == 0 && (bitmap.Width > kMaxSide || bitmap.Height > kMaxSide)) {
        throw EGifException("picture of " + Size(bitmap.Width, bitmap.Height) +
                            " pixels is too large for GIF (at most 65535 x 65535)");
    }
    if (static_cast<long long>(left) + bitmap.Width > kMaxSide ||
        static_cast<long long>(top) + bitmap.Height > kMaxSide) {
        throw EGifException("frame of " + Size(bitmap.Width, bitmap.Height) + " pixels at " +
                            Place(left, top) +
                            " reaches past the largest GIF screen (65535 x 65535)");
    }
}

// Colours are told apart by value, so all bitmaps of one file need one order.
void SetPixelOrder(TGifBitmap& bitmap, TPixelOrder order) {
    if (bitmap.Order == order) return;
    for (std::uint32_t& pixel : bitmap.Pixels) {
        pixel = (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
    }
    bitmap.Order = order;
}

}  // namespace

TGifFile::TGifFile() = default;

void TGifFile::AddBitmap(TGifBitmap&& bitmap) { FImages.emplace_back(std::move(bitmap)); }

void TGifFile::AddFrame(TGifBitmap&& bitmap, int left, int top, std::uint16_t delayCentiseconds) {
    if (left < 0 || top < 0 || left > kMaxSide || top > kMaxSide) {
        throw EGifException("frame at " + Place(left, top) +
                            " lies off the GIF screen, whose offsets run from 0 to 65535");
    }
    TGifSubImage image(std::move(bitmap));
    image.SetPosition(static_cast<std::uint16_t>(left), static_cast<std::uint16_t>(top));
    image.Extensions().AddGraphicControl(TDisposal::DoNotDispose, delayCentiseconds);
    FImages.push_back(std::move(image));
    FHeader = "GIF89a";
}

void TGifFile::SetLoopForever() {
    if (FLoopsForever) return;
    // Sub-block 1 of the application's data, then the loop count, low byte first: 0 for ever.
    FExtensions.AddApplication("NETSCAPE2.0", std::string("\x01\x00\x00", 3));
    FLoopsForever = true;
    FHeader = "GIF89a";
}

void TGifFile::SaveToFile(const std::string& fileName) {
    std::string bytes;
    SaveToStream(bytes);
    WriteFileAtomic(fileName, bytes);
}

void TGifFile::SaveToStream(std::string& stream) {
    ConvertBitmapImages();
    EncodeImages();
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
        FExtensions.WriteTo(stream);
        for (TGifSubImage& image : FImages) image.WriteTo(stream);
        stream.push_back(';');
    } catch (...) {
        stream.resize(start);
        throw;
    }
}

// All bitmaps waiting are collected, and if need be reduced, together: one colour is one index
// in every image, so frames of an animation share the global table.
void TGifFile::ConvertBitmapImages() {
    std::vector<TGifSubImage*> waiting;
    std::vector<TGifBitmap*> bitmaps;
    for (std::size_t i = 0; i < FImages.size(); ++i) {
        TGifBitmap* bitmap = FImages[i].Bitmap();
        if (bitmap == nullptr) continue;
        CheckBitmap(*bitmap, FImages[i].Left(), FImages[i].Top());
        // A lone picture without pixels is refused below, for its empty colour table.
        if (FImages.size() > 1 && bitmap->Pixels.empty()) {
            throw EGifException("frame " + std::to_string(i + 1) + " of " +
                                std::to_string(FImages.size()) + " has no pixels (" +
                                Size(bitmap->Width, bitmap->Height) + ")");
        }
        waiting.push_back(&FImages[i]);
        bitmaps.push_back(bitmap);
    }
    if (waiting.empty()) return;
    for (TGifBitmap* bitmap : bitmaps) SetPixelOrder(*bitmap, bitmaps.front()->Order);

    TColorTable table;
    std::vector<TByteArray2D> indices;
    const std::vector<const TGifBitmap*> collected(bitmaps.begin(), bitmaps.end());
    if (!CollectColors(collected, table, indices)) {
        // The reduced bitmaps have at most 256 colours together, so this second pass succeeds.
        ReduceColors(bitmaps, TColorTable::kMaxSize);
        CollectColors(collected, table, indices);
    }
    // Every image gets the same table size: the first throws for a bad one, before any changes.
    for (std::size_t i = 0; i < waiting.size(); ++i) {
        waiting[i]->ReplaceBitmap(std::move(indices[i]), table.Size());
    }
    const bool global = FGlobalTable.Size() == 0;
    if (global) FGlobalTable = table;
    FColorBits = static_cast<std::uint8_t>(BitsForSize(FGlobalTable.Size()));
    for (TGifSubImage* image : waiting) {
        // Images encoded by an earlier save index the global table; later ones bring their own.
        if (!global) image->SetLocalTable(TColorTable(table));
        FScreenWidth = static_cast<std::uint16_t>(
            std::max(static_cast<int>(FScreenWidth), image->Left() + image->Width()));
        FScreenHeight = static_cast<std::uint16_t>(
            std::max(static_cast<int>(FScreenHeight), image->Top() + image->Height()));
    }
}

// One pass over the pixels of all images still to encode, so progress runs from 0 to 1 once.
void TGifFile::EncodeImages() {
    TProgressStep step;
    for (const TGifSubImage& image : FImages) {
        if (!image.Encoded()) step.Total += image.PixelCount();
    }
    for (TGifSubImage& image : FImages) {
        if (image.Encoded()) continue;
        image.Encode(step);
        step.Before += image.PixelCount();
    }
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
