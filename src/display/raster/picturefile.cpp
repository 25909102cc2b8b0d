#include "display/raster/picturefile.h"

#include <algorithm>

#include "display/raster/bmpfile.h"
#include "display/raster/exportpicture.h"
#include "display/raster/pngfile.h"
#include "gif/giffile.h"
#include "platform/files.h"

namespace morvane {
namespace {

// Half a second a phase, as a terminal blinks.
constexpr std::uint16_t kBlinkDelayCentiseconds = 50;

TGifBitmap GifBitmapOf(TPixelBuffer&& picture) {
    return {picture.Width, picture.Height, std::move(picture.Pixels), TPixelOrder::RedHigh};
}

}  // namespace

std::optional<TPictureFormat> PictureFormatNamed(const std::string& name) {
    if (name == "gif") return pfGif;
    if (name == "bmp") return pfBmp;
    if (name == "png") return pfPng;
    return std::nullopt;
}

void SavePictureFile(TPixelBuffer&& picture, const std::string& path, TPictureFormat format) {
    switch (format) {
        case pfGif: {
            TGifFile file;
            file.AddBitmap(GifBitmapOf(std::move(picture)));
            file.SaveToFile(path);
            break;
        }
        case pfBmp: {
            const TLargeVector<char> bytes = EncodeBmp(picture);
            WriteFileAtomic(path, {bytes.data(), bytes.size()});
            break;
        }
        case pfPng: {
            const TLargeVector<char> bytes = EncodePng(picture);
            WriteFileAtomic(path, {bytes.data(), bytes.size()});
            break;
        }
    }
}

TPixelBuffer CropPicture(const TPixelBuffer& picture, TPixelRect rect) {
    TPixelBuffer part;
    part.Width = rect.Width;
    part.Height = rect.Height;
    part.Pixels.resize(static_cast<std::size_t>(rect.Width) * rect.Height);
    for (int y = 0; y < rect.Height; ++y) {
        const auto from = picture.Pixels.begin() +
                          static_cast<std::ptrdiff_t>(rect.Top + y) * picture.Width + rect.Left;
        std::copy(from, from + rect.Width,
                  part.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * rect.Width);
    }
    return part;
}

void SaveBlinkingPicture(TPixelBuffer&& shown, TPixelBuffer&& hidden, TPixelRect area,
                         const std::string& path, TPictureFormat format) {
    TPixelBuffer first = ExportPicture(std::move(shown));
    if (format != pfGif) {
        SavePictureFile(std::move(first), path, format);
        return;
    }
    const TPixelBuffer second = ExportPicture(std::move(hidden));
    // The export may keep fewer rows than were drawn: the animation changes only what it keeps.
    area.Width = std::max(0, std::min(area.Left + area.Width, first.Width) - area.Left);
    area.Height = std::max(0, std::min(area.Top + area.Height, first.Height) - area.Top);
    if (area.Width == 0 || area.Height == 0 || second.Width != first.Width) {
        SavePictureFile(std::move(first), path, format);
        return;
    }
    TGifFile file;
    file.AddFrame(GifBitmapOf(std::move(first)), 0, 0, kBlinkDelayCentiseconds);
    file.AddFrame(GifBitmapOf(CropPicture(second, area)), area.Left, area.Top,
                  kBlinkDelayCentiseconds);
    file.SetLoopForever();
    file.SaveToFile(path);
}

}  // namespace morvane
