#include "display/raster/gridpicture.h"

#include <algorithm>

#include "display/raster/cellfont.h"

namespace morvane {
namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;

struct TPaint {
    std::uint32_t Fg;
    std::uint32_t Bg;
};

std::uint32_t Pixel(TColor colour) {
    const auto bgr = static_cast<std::uint32_t>(colour);
    return 0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

bool SameCell(const Tabc& doc, int row, int a, int b) {
    const TCellColors& x = doc.FCells[row][a];
    const TCellColors& y = doc.FCells[row][b];
    return doc.FMarked[row][a] == doc.FMarked[row][b] && x.Fg == y.Fg && x.Bg == y.Bg;
}

// Cells that may start a coloured run: a wide row counts its bytes halved, ties to even.
int RunCells(const Tabc& doc, int length) {
    int cells = length;
    if (doc.FWideCells) {
        cells = length / 2;
        if (length % 2 == 1 && cells % 2 == 1) ++cells;
    }
    return std::min({cells, doc.FColCount, Tabc::kMaxCols});
}

// The colours of the row's first paints.size() bytes: the defaults, then the marked runs over
// them. Bytes past the 200th cell have no cell and keep the defaults.
void PaintRow(const Tabc& doc, int row, int length, std::vector<TPaint>& paints) {
    std::fill(paints.begin(), paints.end(), TPaint{Pixel(doc.FDefaultFg), Pixel(doc.FDefaultBg)});
    if (static_cast<size_t>(row) >= doc.FMarked.size()) return;
    const int cellBytes = doc.FWideCells ? 2 : 1;
    const int shown = static_cast<int>(paints.size());
    const int cells = RunCells(doc, length);
    for (int p = 1; p <= cells;) {
        int q = 1;
        while (p + q <= length && p + q <= Tabc::kMaxCols && SameCell(doc, row, p, p + q)) ++q;
        if (doc.FMarked[row][p]) {
            const TCellColors& cell = doc.FCells[row][p];
            const int first = std::min((p - 1) * cellBytes, shown);
            const int end = std::min((p + q - 1) * cellBytes, shown);
            std::fill(paints.begin() + first, paints.begin() + end,
                      TPaint{Pixel(cell.Fg), Pixel(cell.Bg)});
        }
        p += q;
    }
}

// One byte's 8-pixel column: bits 8..15 of the mask (shift 8) or bits 0..7 (shift 0).
void DrawColumn(TPixelBuffer& picture, int x, int y, int rows, const TGlyphMask& mask, int shift,
                TPaint paint) {
    std::uint32_t* out = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width + x;
    for (int row = 0; row < rows; ++row, out += picture.Width) {
        const unsigned bits = mask[row] >> shift;
        for (int i = 0; i < kCellWidth; ++i) {
            out[i] = (bits & (0x80u >> i)) ? paint.Fg : paint.Bg;
        }
    }
}

}  // namespace

void RenderGridPicture(const Tabc& doc, TPixelBuffer& picture) {
    RenderGridPicture(doc, TCellFont::Shared(), picture);
}

void RenderGridPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture) {
    const int columns = std::clamp(doc.FColCount, 0, kPictureMaxWidth / kCellWidth);
    picture.Width = columns * kCellWidth;
    picture.Height =
        std::clamp(doc.FRowCount, 0, kPictureMaxHeight / kCellHeight + 1) * kCellHeight;
    picture.Height = std::min(picture.Height, kPictureMaxHeight);
    const std::size_t size = static_cast<std::size_t>(picture.Width) * picture.Height;
    // A smaller picture does not keep a larger one's memory.
    if (picture.Pixels.capacity() > size) decltype(picture.Pixels)().swap(picture.Pixels);
    picture.Pixels.assign(size, Pixel(doc.FDefaultBg));
    if (size == 0) return;

    static const std::string noLine;
    std::vector<TPaint> paints;
    for (int row = 0; row * kCellHeight < picture.Height; ++row) {
        const std::string& line =
            row < static_cast<int>(doc.FLines.size()) ? doc.FLines[row] : noLine;
        const int length = static_cast<int>(line.size());
        const int shown = std::min(length, columns);
        paints.resize(shown);
        PaintRow(doc, row, length, paints);

        const int y = row * kCellHeight;
        const int rows = std::min(kCellHeight, picture.Height - y);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        for (int i = 0; i < shown;) {
            if (i + 1 < length && IsDoubleBytePair(bytes[i], bytes[i + 1])) {
                // Drawn whole and clipped to each half, so each byte keeps its own colours.
                const TGlyphMask& glyph = font.Wide(doc.FEncoding, bytes[i], bytes[i + 1]);
                DrawColumn(picture, i * kCellWidth, y, rows, glyph, 8, paints[i]);
                if (i + 1 < shown) {
                    DrawColumn(picture, (i + 1) * kCellWidth, y, rows, glyph, 0, paints[i + 1]);
                }
                i += 2;
            } else {
                DrawColumn(picture, i * kCellWidth, y, rows, font.Narrow(bytes[i]), 8, paints[i]);
                ++i;
            }
        }
    }
}

}  // namespace morvane
