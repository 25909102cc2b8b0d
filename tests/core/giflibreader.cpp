#include "giflibreader.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

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

std::uint32_t ColorOf(const GifColorType& c) { return c.Red | c.Green << 8 | c.Blue << 16; }

struct TGifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The whole file slurped, or nullptr after recording why giflib refused it.
std::unique_ptr<GifFileType, TGifCloser> Slurp(TMemoryReader& reader) {
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&reader, ReadFromMemory, &error));
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    if (gif == nullptr) return gif;
    if (DGifSlurp(gif.get()) != GIF_OK) {
        ADD_FAILURE() << "DGifSlurp: " << GifErrorString(gif->Error);
        gif.reset();
    }
    return gif;
}

void ReadApplicationExtensions(const ExtensionBlock* blocks, int count,
                               TDecodedAnimation& decoded) {
    for (int i = 0; i < count; ++i) {
        if (blocks[i].Function != APPLICATION_EXT_FUNC_CODE) continue;
        const std::string name(reinterpret_cast<const char*>(blocks[i].Bytes), blocks[i].ByteCount);
        if (name != "NETSCAPE2.0") {
            ++decoded.OtherApplicationExtensions;
            continue;
        }
        ++decoded.LoopExtensions;
        const ExtensionBlock* data = i + 1 < count ? &blocks[i + 1] : nullptr;
        if (data != nullptr && data->Function == CONTINUE_EXT_FUNC_CODE && data->ByteCount == 3 &&
            data->Bytes[0] == 1) {
            decoded.LoopCount = data->Bytes[1] | data->Bytes[2] << 8;
        }
    }
}

}  // namespace

TDecoded DecodeWithGiflib(const std::string& bytes) {
    TMemoryReader reader{&bytes};
    auto gif = Slurp(reader);
    TDecoded decoded;
    if (gif == nullptr) return decoded;
    EXPECT_EQ(gif->ImageCount, 1);
    if (gif->ImageCount == 1 && gif->SColorMap != nullptr) {
        const SavedImage& image = gif->SavedImages[0];
        decoded.Width = image.ImageDesc.Width;
        decoded.Height = image.ImageDesc.Height;
        const GifColorType* colors = gif->SColorMap->Colors;
        std::size_t count = static_cast<std::size_t>(decoded.Width) * decoded.Height;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t color = ColorOf(colors[image.RasterBits[i]]);
            decoded.Pixels.push_back(color);
            decoded.Palette.insert(color);
        }
    }
    return decoded;
}

TDecodedAnimation DecodeAnimationWithGiflib(const std::string& bytes) {
    TMemoryReader reader{&bytes};
    auto gif = Slurp(reader);
    TDecodedAnimation decoded;
    if (gif == nullptr) return decoded;
    decoded.ScreenWidth = gif->SWidth;
    decoded.ScreenHeight = gif->SHeight;
    if (gif->SColorMap != nullptr) {
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            decoded.GlobalTable.push_back(ColorOf(gif->SColorMap->Colors[i]));
        }
    }
    for (int n = 0; n < gif->ImageCount; ++n) {
        const SavedImage& image = gif->SavedImages[n];
        TDecodedFrame frame;
        frame.Left = image.ImageDesc.Left;
        frame.Top = image.ImageDesc.Top;
        frame.Width = image.ImageDesc.Width;
        frame.Height = image.ImageDesc.Height;
        const ColorMapObject* map = image.ImageDesc.ColorMap;
        frame.HasLocalTable = map != nullptr;
        if (map == nullptr) map = gif->SColorMap;
        std::size_t count = static_cast<std::size_t>(frame.Width) * frame.Height;
        for (std::size_t i = 0; i < count && map != nullptr; ++i) {
            const int index = image.RasterBits[i];
            frame.Indices.push_back(index);
            frame.Pixels.push_back(index < map->ColorCount ? ColorOf(map->Colors[index])
                                                           : 0xFF000000u);
        }
        frame.HasGraphicControl = std::any_of(
            image.ExtensionBlocks, image.ExtensionBlocks + image.ExtensionBlockCount,
            [](const ExtensionBlock& b) { return b.Function == GRAPHICS_EXT_FUNC_CODE; });
        GraphicsControlBlock control;
        if (frame.HasGraphicControl && DGifSavedExtensionToGCB(gif.get(), n, &control) == GIF_OK) {
            frame.Disposal = control.DisposalMode;
            frame.DelayCentiseconds = control.DelayTime;
            frame.TransparentIndex = control.TransparentColor;
            frame.WaitsForUser = control.UserInputFlag;
        }
        ReadApplicationExtensions(image.ExtensionBlocks, image.ExtensionBlockCount, decoded);
        decoded.Frames.push_back(std::move(frame));
    }
    ReadApplicationExtensions(gif->ExtensionBlocks, gif->ExtensionBlockCount, decoded);
    return decoded;
}

}  // namespace morvane::test
