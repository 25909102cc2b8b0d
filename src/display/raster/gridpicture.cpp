#include "display/raster/gridpicture.h"

#include <algorithm>
#include <climits>

#include "display/raster/cellfont.h"

namespace morvane {
namespace {

constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;

struct TPaint {
    std::uint32_t Fg;
    std::uint32_t Bg;
    bool Underline = false;
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

// Underline and blink over the colours: a hidden blinking cell is its background alone.
void ApplyAttributes(const Tabc& doc, int row, TBlinkPhase phase, std::vector<TPaint>& paints) {
    if (static_cast<size_t>(row) >= doc.FAttrs.size() || doc.FWideCells) return;
    const int cells = std::min(static_cast<int>(paints.size()), Tabc::kMaxCols);
    for (int col = 1; col <= cells; ++col) {
        const std::uint8_t attr = doc.FAttrs[row][col];
        TPaint& paint = paints[col - 1];
        if ((attr & caBlink) && phase == TBlinkPhase::Hidden) {
            paint.Fg = paint.Bg;
        } else if (attr & caUnderline) {
            paint.Underline = true;
        }
    }
}

// One byte's 8-pixel column: bits 8..15 of the mask (shift 8) or bits 0..7 (shift 0).
void DrawColumn(TPixelBuffer& picture, int x, int y, int rows, const TGlyphMask& mask, int shift,
                TPaint paint) {
    std::uint32_t* out = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width + x;
    for (int row = 0; row < rows; ++row, out += picture.Width) {
        const unsigned bits =
            (paint.Underline && row == kCellHeight - 1) ? 0xFFu : mask[row] >> shift;
        for (int i = 0; i < kCellWidth; ++i) {
            out[i] = (bits & (0x80u >> i)) ? paint.Fg : paint.Bg;
        }
    }
}

bool RowBlinks(const Tabc& doc, int row) {
    if (static_cast<size_t>(row) >= doc.FAttrs.size()) return false;
    const auto& attrs = doc.FAttrs[row];
    return std::any_of(attrs.begin(), attrs.end(), [](std::uint8_t a) { return a & caBlink; });
}

// Draws one row of cells into a picture sized for the document.
void RenderRow(const Tabc& doc, TCellFont& font, TPixelBuffer& picture, int row, TBlinkPhase phase,
               std::vector<TPaint>& paints) {
    static const std::string noLine;
    const int columns = picture.Width / kCellWidth;
    const std::string& line = row < static_cast<int>(doc.FLines.size()) ? doc.FLines[row] : noLine;
    const bool utf8 = doc.FEncoding == TEncoding::Utf8;
    const int length = static_cast<int>(
        std::min<size_t>(utf8 ? CellCount(doc.FEncoding, line) : line.size(), INT32_MAX));
    const int shown = std::min(length, columns);
    paints.resize(shown);
    PaintRow(doc, row, length, paints);
    ApplyAttributes(doc, row, phase, paints);

    const int y = row * kCellHeight;
    const int rows = std::min(kCellHeight, picture.Height - y);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
    if (utf8) {
        // A character covers its cells; each cell keeps its own colours.
        int cell = 0;
        for (size_t at = 0; at < line.size() && cell < shown;) {
            const std::string_view text = std::string_view(line).substr(at);
            const TCharacter c = NextCharacter(TEncoding::Utf8, text);
            const TGlyphMask& glyph = font.Character(TEncoding::Utf8, text, c);
            DrawColumn(picture, cell * kCellWidth, y, rows, glyph, 8, paints[cell]);
            if (c.Cells == 2 && cell + 1 < shown)
                DrawColumn(picture, (cell + 1) * kCellWidth, y, rows, glyph, 0, paints[cell + 1]);
            cell += c.Cells;
            at += c.Bytes;
        }
        return;
    }
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

}  // namespace

void RenderGridPicture(const Tabc& doc, TPixelBuffer& picture, TBlinkPhase phase) {
    RenderGridPicture(doc, TCellFont::Shared(), picture, phase);
}

void RenderGridPicture(const Tabc& doc, TCellFont& font, TPixelBuffer& picture, TBlinkPhase phase) {
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

    std::vector<TPaint> paints;
    for (int row = 0; row * kCellHeight < picture.Height; ++row)
        RenderRow(doc, font, picture, row, phase, paints);
}

void RedrawBlinkingRows(const Tabc& doc, TCellFont& font, TPixelBuffer& picture,
                        TBlinkPhase phase) {
    std::vector<TPaint> paints;
    for (int row = 0; row * kCellHeight < picture.Height; ++row)
        if (RowBlinks(doc, row)) RenderRow(doc, font, picture, row, phase, paints);
}

TPixelRect BlinkingArea(const Tabc& doc, int width, int height) {
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    for (int row = 0; row < static_cast<int>(doc.FAttrs.size()); ++row) {
        for (int col = 1; col <= Tabc::kMaxCols; ++col) {
            if (!(doc.FAttrs[row][col] & caBlink)) continue;
            left = std::min(left, col - 1);
            right = std::max(right, col);
            top = std::min(top, row);
            bottom = std::max(bottom, row + 1);
        }
    }
    TPixelRect area;
    if (right < 0) return area;
    area.Left = std::min(left * kCellWidth, width);
    area.Top = std::min(top * kCellHeight, height);
    area.Width = std::min(right * kCellWidth, width) - area.Left;
    area.Height = std::min(bottom * kCellHeight, height) - area.Top;
    if (area.Width <= 0 || area.Height <= 0) return TPixelRect{};
    return area;
}

}  // namespace morvane
