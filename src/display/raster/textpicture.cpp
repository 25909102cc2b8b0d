#include "display/raster/textpicture.h"

#include <algorithm>

#include "display/raster/cellfont.h"

namespace morvane {
namespace {

constexpr int kCellWidth = 8;
constexpr int kLineHeight = 16;
constexpr std::uint32_t kOutlinePixel = 0xFF000000;

// One byte's 8 x rows cell at (x, y), ink from bits 8..15 (shift 8) or 0..7 (shift 0) of the
// mask, clipped at the picture's right edge.
void DrawByte(TPixelBuffer& picture, int x, int y, int rows, const TGlyphMask& mask, int shift,
              std::uint32_t ink, std::uint32_t paper) {
    const int columns = std::min(kCellWidth, picture.Width - x);
    std::uint32_t* out = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width + x;
    for (int row = 0; row < rows; ++row, out += picture.Width) {
        const unsigned bits = mask[row] >> shift;
        for (int i = 0; i < columns; ++i) out[i] = (bits & (0x80u >> i)) ? ink : paper;
    }
}

void DrawOutline(TPixelBuffer& picture) {
    const int w = picture.Width;
    const int h = picture.Height;
    if (w == 0 || h == 0) return;
    std::fill_n(picture.Pixels.begin(), w, kOutlinePixel);
    std::fill_n(picture.Pixels.begin() + static_cast<std::size_t>(h - 1) * w, w, kOutlinePixel);
    for (int y = 0; y < h; ++y) {
        picture.Pixels[static_cast<std::size_t>(y) * w] = kOutlinePixel;
        picture.Pixels[static_cast<std::size_t>(y) * w + w - 1] = kOutlinePixel;
    }
}

}  // namespace

void RenderTextPicture(const std::vector<std::string>& lines, TEncoding encoding,
                       std::uint32_t textPixel, std::uint32_t backgroundPixel,
                       TPixelBuffer& picture) {
    RenderTextPicture(lines, encoding, textPixel, backgroundPixel, TCellFont::Shared(), picture);
}

void RenderTextPicture(const std::vector<std::string>& lines, TEncoding encoding,
                       std::uint32_t textPixel, std::uint32_t backgroundPixel, TCellFont& font,
                       TPixelBuffer& picture) {
    const std::size_t maxLines = kPictureMaxHeight / kLineHeight + 1;
    const int lineCount = static_cast<int>(std::min(lines.size(), maxLines));
    const int height = std::min(lineCount * kLineHeight, kPictureMaxHeight);
    // The lines whose first row, 1 pixel below their 16-pixel band's top, lies inside.
    const int drawn = height >= 2 ? std::min(lineCount, (height - 2) / kLineHeight + 1) : 0;
    std::size_t longest = 1;
    for (int i = 0; i < drawn; ++i) longest = std::max(longest, CellCount(encoding, lines[i]));
    const int maxBytes = kPictureMaxWidth / kCellWidth;
    picture.Width = static_cast<int>(std::min<std::size_t>(longest, maxBytes)) * kCellWidth;
    picture.Height = height;
    const std::size_t size = static_cast<std::size_t>(picture.Width) * picture.Height;
    if (picture.Pixels.capacity() > size) decltype(picture.Pixels)().swap(picture.Pixels);
    picture.Pixels.assign(size, backgroundPixel);
    DrawOutline(picture);

    for (int i = 0; i < drawn; ++i) {
        const std::string& line = lines[i];
        const int y = i * kLineHeight + 1;
        const int rows = std::min(kLineHeight, height - y);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
        const int length = static_cast<int>(line.size());
        if (encoding == TEncoding::Utf8) {
            int cell = 0;
            for (size_t at = 0; at < line.size() && 1 + cell * kCellWidth < picture.Width;) {
                const std::string_view text = std::string_view(line).substr(at);
                const TCharacter c = NextCharacter(encoding, text);
                const TGlyphMask& glyph = font.Character(encoding, text, c);
                const int x = 1 + cell * kCellWidth;
                DrawByte(picture, x, y, rows, glyph, 8, textPixel, backgroundPixel);
                if (c.Cells == 2 && x + kCellWidth < picture.Width)
                    DrawByte(picture, x + kCellWidth, y, rows, glyph, 0, textPixel,
                             backgroundPixel);
                cell += c.Cells;
                at += c.Bytes;
            }
            continue;
        }
        for (int b = 0; b < length && 1 + b * kCellWidth < picture.Width;) {
            const int x = 1 + b * kCellWidth;
            if (b + 1 < length && IsDoubleBytePair(bytes[b], bytes[b + 1])) {
                const TGlyphMask& glyph = font.Wide(encoding, bytes[b], bytes[b + 1]);
                DrawByte(picture, x, y, rows, glyph, 8, textPixel, backgroundPixel);
                if (x + kCellWidth < picture.Width) {
                    DrawByte(picture, x + kCellWidth, y, rows, glyph, 0, textPixel,
                             backgroundPixel);
                }
                b += 2;
            } else {
                DrawByte(picture, x, y, rows, font.Narrow(bytes[b]), 8, textPixel, backgroundPixel);
                ++b;
            }
        }
    }
}

}  // namespace morvane
