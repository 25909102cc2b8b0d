// The GIF writer on any picture: its file decodes with giflib, and where the picture has at
// most 256 colours every pixel comes back as it was.
#include <gif_lib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "gif/gifexception.h"
#include "gif/giffile.h"

namespace {

struct TReader {
    const std::string* Bytes;
    size_t At = 0;
};

int ReadFromString(GifFileType* gif, GifByteType* out, int length) {
    auto* reader = static_cast<TReader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length), reader->Bytes->size() - reader->At);
    std::memcpy(out, reader->Bytes->data() + reader->At, n);
    reader->At += n;
    return static_cast<int>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Two bytes of width, then pixels of three bytes each, from a palette the data chooses.
    if (size < 2) return 0;
    morvane::TGifBitmap bitmap;
    bitmap.Width = 1 + data[0] % 64;
    const size_t pixels = (size - 2) / 3;
    bitmap.Height = static_cast<int>(pixels / bitmap.Width);
    const int palette = 1 + data[1];
    for (size_t i = 0; i < static_cast<size_t>(bitmap.Width) * bitmap.Height; ++i) {
        const std::uint8_t* p = data + 2 + 3 * i;
        std::uint32_t colour = p[0] | p[1] << 8 | p[2] << 16;
        if (palette < 256) colour %= static_cast<std::uint32_t>(palette) * 65599u;
        bitmap.Pixels.push_back(colour & 0xFFFFFF);
    }
    const morvane::TGifBitmap original = bitmap;
    std::string file;
    try {
        morvane::TGifFile gif;
        gif.AddBitmap(std::move(bitmap));
        gif.SaveToStream(file);
    } catch (const morvane::EGifException&) {
        if (original.Width * original.Height != 0) std::abort();
        return 0;
    }

    TReader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromString, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) std::abort();
    const SavedImage& image = gif->SavedImages[0];
    if (gif->ImageCount != 1 || image.ImageDesc.Width != original.Width ||
        image.ImageDesc.Height != original.Height)
        std::abort();
    const std::unordered_set<std::uint32_t> colours(original.Pixels.begin(), original.Pixels.end());
    if (colours.size() <= 256) {
        const ColorMapObject* map = gif->SColorMap;
        for (size_t i = 0; i < original.Pixels.size(); ++i) {
            const GifColorType c = map->Colors[image.RasterBits[i]];
            if (static_cast<std::uint32_t>(c.Red | c.Green << 8 | c.Blue << 16) != original.Pixels[i])
                std::abort();
        }
    }
    DGifCloseFile(gif, &error);
    return 0;
}
