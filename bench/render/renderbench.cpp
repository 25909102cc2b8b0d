// Prints how long RenderGridPicture takes for a fully coloured grid of 80 rows by 200 columns
// whose colours change at every cell, so that every run is one cell long.
#include <chrono>
#include <cstdio>
#include <string>

#include "display/raster/cellfont.h"
#include "display/raster/gridpicture.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Chinese text, box drawing and ASCII, as in real art.
void FillDocument(morvane::Tabc& doc) {
    const std::string pattern = "\xD6\xD0\xCE\xC4\xA9\xB0\xA9\xA4 ASCII art \xA8\x80\xA8\x88";
    doc.FWideCells = false;
    doc.FRowCount = 80;
    doc.SizeGrid(doc.FRowCount);
    doc.FColCount = morvane::Tabc::kMaxCols;
    doc.FLines.clear();
    for (int row = 0; row < doc.FRowCount; ++row) {
        std::string line;
        while (static_cast<int>(line.size()) < doc.FColCount) line += pattern;
        line.resize(doc.FColCount);
        doc.FLines.push_back(line);
        for (int col = 1; col <= doc.FColCount; ++col) {
            doc.FMarked[row][col] = true;
            const bool odd = (row + col) % 2 == 1;
            doc.FCells[row][col] = {odd ? 0x00FFFF : 0xFFFFFF, odd ? 0x800000 : 0x000080};
        }
    }
}

}  // namespace

int main() {
    constexpr int kRepetitions = 200;
    morvane::Tabc doc;
    FillDocument(doc);

    TClock::time_point start = TClock::now();
    morvane::TCellFont& font = morvane::TCellFont::Shared();
    const double loadMs = MillisecondsSince(start);

    morvane::TPixelBuffer picture;
    start = TClock::now();
    morvane::RenderGridPicture(doc, font, picture);
    const double firstMs = MillisecondsSince(start);

    start = TClock::now();
    for (int i = 0; i < kRepetitions; ++i) morvane::RenderGridPicture(doc, font, picture);
    const double averageMs = MillisecondsSince(start) / kRepetitions;

    start = TClock::now();
    for (int i = 0; i < kRepetitions; ++i) {
        morvane::TPixelBuffer fresh;
        morvane::RenderGridPicture(doc, font, fresh);
    }
    const double freshMs = MillisecondsSince(start) / kRepetitions;

    std::printf("picture %d x %d pixels, 80 x 200 cells, a colour change at every cell\n",
                picture.Width, picture.Height);
    std::printf("loading the fonts:               %8.3f ms (once per run)\n", loadMs);
    std::printf("first render (glyph cache cold): %8.3f ms\n", firstMs);
    std::printf("render into the same buffer:     %8.3f ms (average of %d)\n", averageMs,
                kRepetitions);
    std::printf("render into a new buffer:        %8.3f ms (average of %d)\n", freshMs,
                kRepetitions);
    return 0;
}
