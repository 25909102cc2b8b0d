// The GIF writer on any picture, or any two frames of an animation: its file decodes with
// giflib, every frame where it was put; a colour has one index in every frame, and where the
// frames have at most 256 colours together every pixel comes back as it was.
#include <gif_lib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

struct TFrame {
    morvane::TGifBitmap Bitmap;
    int Left = 0;
    int Top = 0;
    std::uint16_t Delay = 0;
};

void Check(bool condition) {
    if (!condition) std::abort();
}

std::uint32_t SwapRedBlue(std::uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

// Up to rows rows of width pixels of three bytes each, from a palette the data chooses.
morvane::TGifBitmap Pixels(const std::uint8_t*& at, const std::uint8_t* end, int width, int rows,
                           int palette) {
    morvane::TGifBitmap bitmap;
    bitmap.Width = width;
    bitmap.Height = static_cast<int>(std::min<size_t>(rows, (end - at) / 3 / width));
    for (int i = 0; i < bitmap.Width * bitmap.Height; ++i, at += 3) {
        std::uint32_t colour = at[0] | at[1] << 8 | at[2] << 16;
        if (palette < 256) colour %= static_cast<std::uint32_t>(palette) * 65599u;
        bitmap.Pixels.push_back(colour & 0xFFFFFF);
    }
    return bitmap;
}

// Mostly within the first frame, as blinking cells are; the highest bytes reach the screen's edge.
int Offset(std::uint8_t byte) { return byte < 240 ? byte % 64 : 65535 - (255 - byte) * 8; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Byte 0: the width less one in its low 6 bits; bit 7 asks for a second frame, bit 6 gives
    // that frame red high. Byte 1 chooses the palette. A second frame then takes 6 bytes: its
    // width, left and top (see Offset), delay (2 bytes) and the first frame's rows. The rest is
    // pixels: the first frame's, then the second's.
    if (size < 2) return 0;
    const bool animated = data[0] & 0x80;
    const bool redHigh = data[0] & 0x40;
    const int palette = 1 + data[1];
    const std::uint8_t* at = data + 2;
    const std::uint8_t* end = data + size;
    if (animated && size < 8) return 0;
    std::vector<TFrame> frames;
    if (!animated) {
        frames.push_back({Pixels(at, end, 1 + data[0] % 64, 1 << 30, palette)});
    } else {
        const int secondWidth = 1 + data[2] % 64;
        TFrame second;
        second.Left = Offset(data[3]);
        second.Top = Offset(data[4]);
        second.Delay = static_cast<std::uint16_t>(data[5] | data[6] << 8);
        at = data + 8;
        frames.push_back({Pixels(at, end, 1 + data[0] % 64, data[7], palette), 0, 0, 50});
        second.Bitmap = Pixels(at, end, secondWidth, 1 << 30, palette);
        if (redHigh) {
            for (std::uint32_t& pixel : second.Bitmap.Pixels) pixel = SwapRedBlue(pixel);
            second.Bitmap.Order = morvane::TPixelOrder::RedHigh;
        }
        frames.push_back(std::move(second));
    }

    bool refused = false;
    int screenWidth = 0, screenHeight = 0;
    for (const TFrame& frame : frames) {
        const morvane::TGifBitmap& bitmap = frame.Bitmap;
        refused = refused || bitmap.Width * bitmap.Height == 0 ||
                  frame.Left + bitmap.Width > 65535 || frame.Top + bitmap.Height > 65535;
        screenWidth = std::max(screenWidth, frame.Left + bitmap.Width);
        screenHeight = std::max(screenHeight, frame.Top + bitmap.Height);
    }
    std::string file;
    try {
        morvane::TGifFile gif;
        if (!animated) {
            gif.AddBitmap(morvane::TGifBitmap(frames[0].Bitmap));
        } else {
            for (const TFrame& frame : frames) {
                gif.AddFrame(morvane::TGifBitmap(frame.Bitmap), frame.Left, frame.Top, frame.Delay);
            }
            gif.SetLoopForever();
        }
        gif.SaveToStream(file);
    } catch (const morvane::EGifException&) {
        Check(refused);
        return 0;
    }
    Check(!refused);
    Check(file.compare(0, 6, animated ? "GIF89a" : "GIF87a") == 0);

    TReader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromString, &error);
    Check(gif != nullptr && DGifSlurp(gif) == GIF_OK);
    Check(gif->ImageCount == static_cast<int>(frames.size()));
    Check(gif->SWidth == screenWidth && gif->SHeight == screenHeight);
    std::unordered_set<std::uint32_t> colours;
    for (const TFrame& frame : frames) {
        for (std::uint32_t pixel : frame.Bitmap.Pixels) {
            colours.insert(frame.Bitmap.Order == morvane::TPixelOrder::RedHigh ? SwapRedBlue(pixel)
                                                                               : pixel);
        }
    }
    std::unordered_map<std::uint32_t, int> indexOf;
    const ColorMapObject* map = gif->SColorMap;
    for (size_t n = 0; n < frames.size(); ++n) {
        const TFrame& frame = frames[n];
        const SavedImage& image = gif->SavedImages[n];
        Check(image.ImageDesc.Left == frame.Left && image.ImageDesc.Top == frame.Top &&
              image.ImageDesc.Width == frame.Bitmap.Width &&
              image.ImageDesc.Height == frame.Bitmap.Height && image.ImageDesc.ColorMap == nullptr);
        if (animated) {
            GraphicsControlBlock control;
            Check(DGifSavedExtensionToGCB(gif, static_cast<int>(n), &control) == GIF_OK);
            Check(control.DisposalMode == DISPOSE_DO_NOT && control.DelayTime == frame.Delay &&
                  control.TransparentColor == NO_TRANSPARENT_COLOR);
        }
        for (size_t i = 0; i < frame.Bitmap.Pixels.size(); ++i) {
            std::uint32_t pixel = frame.Bitmap.Pixels[i];
            if (frame.Bitmap.Order == morvane::TPixelOrder::RedHigh) pixel = SwapRedBlue(pixel);
            const int index = image.RasterBits[i];
            Check(indexOf.emplace(pixel, index).first->second == index);
            if (colours.size() > 256) continue;
            const GifColorType c = map->Colors[index];
            Check(static_cast<std::uint32_t>(c.Red | c.Green << 8 | c.Blue << 16) == pixel);
        }
    }
    DGifCloseFile(gif, &error);
    return 0;
}
