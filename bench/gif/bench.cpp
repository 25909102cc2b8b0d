// Times the GIF writer against giflib's EGifPutLine on the same indexed pixels, and its blinking
// animation against its still picture.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "gif/bytearray2d.h"
#include "gif/giffile.h"
#include "gif/gifsubimage.h"

using namespace morvane;

namespace {

constexpr int kRuns = 5;

// 8 x 16 cells in the 16 ANSI colours, most of them blank, as rendered text art looks.
TGifBitmap TextArt(int width, int height) {
    static const std::uint32_t kAnsi[16] = {
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    std::mt19937 random(1);
    std::vector<std::uint8_t> glyphs(128 * 16);
    for (auto& row : glyphs) row = static_cast<std::uint8_t>(random() & 0x7E);
    int columns = (width + 7) / 8;
    TGifBitmap bitmap{width, height, TLargeVector<std::uint32_t>(std::size_t(width) * height)};
    std::vector<int> glyph(columns), fore(columns), back(columns);
    int f = 7, b = 0;
    for (int y = 0; y < height; ++y) {
        if (y % 16 == 0) {
            for (int c = 0; c < columns; ++c) {
                if (random() % 12 == 0) f = random() % 16;
                if (random() % 30 == 0) b = random() % 8;
                glyph[c] = random() % 5 < 3 ? -1 : int(random() % 128);
                fore[c] = f;
                back[c] = b;
            }
        }
        for (int x = 0; x < width; ++x) {
            int c = x / 8;
            bool ink = glyph[c] >= 0 && (glyphs[glyph[c] * 16 + y % 16] >> (7 - x % 8) & 1);
            bool edge = x == 0 || y == 0;
            bitmap.Pixels[std::size_t(y) * width + x] =
                edge ? 0xFFFFFF : kAnsi[ink ? fore[c] : back[c]];
        }
    }
    return bitmap;
}

TGifBitmap Noise(int width, int height) {
    std::mt19937 random(2);
    TGifBitmap bitmap{width, height, TLargeVector<std::uint32_t>(std::size_t(width) * height)};
    for (auto& pixel : bitmap.Pixels) {
        std::uint32_t k = random() % 256;
        pixel = k | (255 - k) << 8 | (k * 7 & 0xFF) << 16;
    }
    return bitmap;
}

double BestSeconds(const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Indices in first-met order and the padded palette, as both writers get them.
struct TIndexed {
    std::vector<GifByteType> Pixels;
    std::vector<GifColorType> Palette;
};

TIndexed Index(const TGifBitmap& bitmap) {
    TIndexed indexed;
    std::unordered_map<std::uint32_t, int> known;
    for (std::uint32_t color : bitmap.Pixels) {
        auto [it, added] = known.emplace(color, int(indexed.Palette.size()));
        if (added) {
            indexed.Palette.push_back(
                {GifByteType(color), GifByteType(color >> 8), GifByteType(color >> 16)});
        }
        indexed.Pixels.push_back(GifByteType(it->second));
    }
    std::size_t size = 2;
    while (size < indexed.Palette.size()) size *= 2;
    indexed.Palette.resize(size, GifColorType{0, 0, 0});
    return indexed;
}

int WriteToString(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

std::size_t GiflibSave(const TIndexed& indexed, int width, int height) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    ColorMapObject* map = GifMakeMapObject(int(indexed.Palette.size()), indexed.Palette.data());
    EGifSetGifVersion(gif, false);
    EGifPutScreenDesc(gif, width, height, map->BitsPerPixel, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
    auto* row = const_cast<GifByteType*>(indexed.Pixels.data());
    for (int y = 0; y < height; ++y, row += width) {
        if (EGifPutLine(gif, row, width) != GIF_OK) std::fprintf(stderr, "giflib failed\n");
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out.size();
}

// The caller hands its bitmap over, so copying it is no part of the save.
double OurSaveSeconds(const TGifBitmap& bitmap, std::size_t& bytes) {
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        TGifBitmap copy = bitmap;
        auto start = std::chrono::steady_clock::now();
        TGifFile file;
        file.AddBitmap(std::move(copy));
        std::string out;
        file.SaveToStream(out);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        bytes = out.size();
    }
    return best;
}

std::size_t OurEncode(const TIndexed& indexed, int width, int height) {
    TByteArray2D pixels(width, height);
    std::copy(indexed.Pixels.begin(), indexed.Pixels.end(), pixels.Data());
    TGifSubImage image(int(indexed.Palette.size()));
    image.SetPixels(std::move(pixels));
    image.Encode();
    return image.Data().Count();
}

void Measure(const char* name, const TGifBitmap& bitmap) {
    TIndexed indexed = Index(bitmap);
    std::size_t giflibBytes = 0, ourBytes = 0, ourData = 0;
    double giflib =
        BestSeconds([&] { giflibBytes = GiflibSave(indexed, bitmap.Width, bitmap.Height); });
    double encode = BestSeconds([&] { ourData = OurEncode(indexed, bitmap.Width, bitmap.Height); });
    // The whole save also collects the colours and builds the file.
    double save = OurSaveSeconds(bitmap, ourBytes);
    std::printf(
        "%-28s %4d x %-5d %3zu colours | giflib %7.1f ms %9zu B | ours: encode %7.1f ms"
        " (x%.2f), whole save %7.1f ms %9zu B (x%.2f)\n",
        name, bitmap.Width, bitmap.Height, indexed.Palette.size(), giflib * 1e3, giflibBytes,
        encode * 1e3, giflib / encode, save * 1e3, ourBytes, giflib / save);
    (void)ourData;
}

// A blinking picture: the whole picture, then its second phase over a quarter of it, looping.
void MeasureBlink(const char* name, const TGifBitmap& bitmap) {
    const int left = bitmap.Width / 4, top = bitmap.Height / 4;
    TGifBitmap phase{bitmap.Width / 2, bitmap.Height / 2, {}};
    for (int y = top; y < top + phase.Height; ++y) {
        for (int x = left; x < left + phase.Width; ++x) {
            std::uint32_t pixel = bitmap.Pixels[std::size_t(y) * bitmap.Width + x];
            phase.Pixels.push_back(pixel == 0 ? pixel : pixel ^ 0x808080);
        }
    }
    std::size_t stillBytes = 0, blinkBytes = 0;
    double still = OurSaveSeconds(bitmap, stillBytes);
    double blink = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        TGifBitmap first = bitmap, second = phase;
        auto start = std::chrono::steady_clock::now();
        TGifFile file;
        file.AddFrame(std::move(first), 0, 0, 50);
        file.AddFrame(std::move(second), left, top, 50);
        file.SetLoopForever();
        std::string out;
        file.SaveToStream(out);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        blink = std::min(blink, took.count());
        blinkBytes = out.size();
    }
    std::printf("%-28s %4d x %-5d | still save %7.1f ms %9zu B | two phases %7.1f ms %9zu B\n",
                name, bitmap.Width, bitmap.Height, still * 1e3, stillBytes, blink * 1e3,
                blinkBytes);
}

}  // namespace

int main() {
    std::printf("best of %d runs; (xN) = giflib time / our time, above 1 means we are faster\n",
                kRuns);
    Measure("text art", TextArt(1600, 1280));
    Measure("text art", TextArt(2048, 8860));
    Measure("noise of 256 colours", Noise(2048, 8860));
    MeasureBlink("blinking text art", TextArt(2048, 8860));
}
