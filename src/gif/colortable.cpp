#include "gif/colortable.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | green << 8 | blue << 16;
}

constexpr std::array<std::uint32_t, 16> kSixteenColors = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(128, 128, 128),
    Rgb(192, 192, 192), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255),
};

}  // namespace

TColorTable::TColorTable(int size) : FSize(std::clamp(size, 0, kMaxSize)) {
    for (int i = 0; i < FSize; ++i) {
        if (size == 2) {
            FColors[i] = i == 0 ? 0 : Rgb(255, 255, 255);
        } else if (size == 16) {
            FColors[i] = kSixteenColors[i];
        } else if (size == 256) {
            FColors[i] = Rgb(i, i, i);
        }
    }
    CompleteForFile();
}

int TColorTable::Add(std::uint32_t color) {
    FColors[FSize] = color;
    return FSize++;
}

void TColorTable::CompleteForFile() {
    if (FSize == 1 || (FSize > 2 && FSize < kMaxSize)) {
        int padded = 1 << BitsForSize(FSize);
        for (int i = FSize; i < padded; ++i) FColors[i] = 0;
        FSize = padded;
    }
    for (int i = 0; i < FSize; ++i) {
        FTriples[i] = {static_cast<std::uint8_t>(FColors[i]),
                       static_cast<std::uint8_t>(FColors[i] >> 8),
                       static_cast<std::uint8_t>(FColors[i] >> 16)};
    }
}

void TColorTable::WriteTriples(std::string& out) const {
    for (int i = 0; i < FSize; ++i) {
        out.append(reinterpret_cast<const char*>(FTriples[i].data()), 3);
    }
}

int BitsForSize(int size) {
    int bits = 1;
    while ((1 << bits) < size) ++bits;
    return bits;
}

}  // namespace morvane
