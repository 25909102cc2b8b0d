// Draws the pages' background picture "bk.gif" with the program's own GIF writer: a pale paper
// tile with a faint diamond lattice, light enough for the black text of the about and text pages.
#include <cstdio>
#include <exception>

#include "gif/giffile.h"

namespace {

constexpr int kTile = 32;
constexpr int kMesh = 16;
// 0x00BBGGRR.
constexpr std::uint32_t kPaper = 0xEEF7FA;
constexpr std::uint32_t kLine = 0xDCE8F0;
constexpr std::uint32_t kKnot = 0xCFDDE8;

morvane::TGifBitmap Tile() {
    morvane::TGifBitmap bitmap;
    bitmap.Width = kTile;
    bitmap.Height = kTile;
    bitmap.Pixels.resize(kTile * kTile, kPaper);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const bool rising = (x + y) % kMesh == 0;
            const bool falling = (x - y + kTile) % kMesh == 0;
            if (rising || falling) bitmap.Pixels[y * kTile + x] = rising && falling ? kKnot : kLine;
        }
    }
    return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.gif\n", argv[0]);
        return 2;
    }
    try {
        morvane::TGifFile gif;
        gif.AddBitmap(Tile());
        gif.SaveToFile(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
