#include "display/raster/picturefile.h"

#include "display/raster/bmpfile.h"
#include "display/raster/pngfile.h"
#include "gif/giffile.h"
#include "platform/files.h"

namespace morvane {
namespace {

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

}  // namespace morvane
