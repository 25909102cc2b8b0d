#include "giflibreader.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace morvane::test {
namespace {

struct TMemoryReader {
    const std::string* Bytes;
    std::size_t At = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* reader = static_cast<TMemoryReader*>(gif->UserData);
    std::size_t count = std::min<std::size_t>(length, reader->Bytes->size() - reader->At);
    std::memcpy(buffer, reader->Bytes->data() + reader->At, count);
    reader->At += count;
    return static_cast<int>(count);
}

}  // namespace

TDecoded DecodeWithGiflib(const std::string& bytes) {
    TMemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    TDecoded decoded;
    if (gif == nullptr) return decoded;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->ImageCount, 1);
    if (gif->ImageCount == 1 && gif->SColorMap != nullptr) {
        const SavedImage& image = gif->SavedImages[0];
        decoded.Width = image.ImageDesc.Width;
        decoded.Height = image.ImageDesc.Height;
        const GifColorType* colors = gif->SColorMap->Colors;
        std::size_t count = static_cast<std::size_t>(decoded.Width) * decoded.Height;
        for (std::size_t i = 0; i < count; ++i) {
            const GifColorType& c = colors[image.RasterBits[i]];
            std::uint32_t color = c.Red | c.Green << 8 | c.Blue << 16;
            decoded.Pixels.push_back(color);
            decoded.Palette.insert(color);
        }
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

}  // namespace morvane::test
