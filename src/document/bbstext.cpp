#include "document/bbstext.h"

#include <algorithm>

namespace morvane {
namespace {

constexpr TColor kNormal[8] = {0x000000, 0x000080, 0x008000, 0x008080,
                               0x800000, 0x800080, 0x808000, 0xC0C0C0};
constexpr TColor kBright[8] = {0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                               0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

std::string Rgb(TColor colour) {
    const auto v = static_cast<std::uint32_t>(colour);
    return std::to_string(v & 0xFF) + ";" + std::to_string(v >> 8 & 0xFF) + ";" +
           std::to_string(v >> 16 & 0xFF);
}

// How a cell looks: its colours and its attributes.
struct TLook {
    TCellColors Colours;
    std::uint8_t Attr;

    bool operator!=(const TLook& other) const {
        return Colours.Fg != other.Colours.Fg || Colours.Bg != other.Colours.Bg ||
               Attr != other.Attr;
    }
};

// The parameters that bring a reset reader to this look: the palette where it has the colours,
// 24-bit colour where it has not, then underline and blink.
std::string Parameters(const TLook& look, const Tabc& doc) {
    const TCellColors& colours = look.Colours;
    std::string params = "0";
    if (colours.Fg != doc.FDefaultFg) {
        const auto* normal = std::find(std::begin(kNormal), std::end(kNormal), colours.Fg);
        const auto* bright = std::find(std::begin(kBright), std::end(kBright), colours.Fg);
        if (normal != std::end(kNormal))
            params += ";3" + std::to_string(normal - kNormal);
        else if (bright != std::end(kBright))
            params += ";1;3" + std::to_string(bright - kBright);
        else
            params += ";38;2;" + Rgb(colours.Fg);
    }
    if (colours.Bg != doc.FDefaultBg) {
        const auto* normal = std::find(std::begin(kNormal), std::end(kNormal), colours.Bg);
        if (normal != std::end(kNormal))
            params += ";4" + std::to_string(normal - kNormal);
        else
            params += ";48;2;" + Rgb(colours.Bg);
    }
    if (look.Attr & caUnderline) params += ";4";
    if (look.Attr & caBlink) params += ";5";
    return params;
}

// After a "*" of the text, "*[" would read as "**[" and take the star with it.
std::string Introducer(const std::string& text) {
    return !text.empty() && text.back() == '*' ? "**[" : "*[";
}

}  // namespace

std::vector<std::string> BbsTextLines(const Tabc& doc, bool wholeCharacters) {
    std::vector<std::string> out;
    out.reserve(doc.FLines.size());
    const TLook plain{{doc.FDefaultFg, doc.FDefaultBg}, 0};
    const bool utf8 = doc.FEncoding == TEncoding::Utf8 && !doc.FWideCells;
    for (size_t r = 0; r < doc.FLines.size(); ++r) {
        const std::string& line = doc.FLines[r];
        if (r >= doc.FMarked.size()) {
            out.push_back(line);
            continue;
        }
        std::string text;
        TLook current = plain;
        size_t cell = 1;
        for (size_t i = 0; i < line.size();) {
            // A piece of the line that takes one look: a byte, or a whole character where the
            // bytes of one must stay together.
            size_t bytes = 1;
            size_t cells = 1;
            if (utf8) {
                const TCharacter character =
                    NextCharacter(TEncoding::Utf8, std::string_view(line).substr(i));
                bytes = character.Bytes;
                cells = character.Cells;
            } else if (wholeCharacters && !doc.FWideCells && i + 1 < line.size() &&
                       IsDoubleBytePair(static_cast<std::uint8_t>(line[i]),
                                        static_cast<std::uint8_t>(line[i + 1]))) {
                bytes = cells = 2;
            }
            const size_t at = doc.FWideCells ? i / 2 + 1 : cell;
            TLook wanted = plain;
            if (at <= Tabc::kMaxCols) {
                if (doc.FMarked[r][at]) wanted.Colours = doc.FCells[r][at];
                wanted.Attr = doc.CellAttr(static_cast<int>(r), static_cast<int>(at));
            }
            if (wanted != current) {
                text += Introducer(text) + Parameters(wanted, doc) + "m";
                current = wanted;
            }
            text.append(line, i, bytes);
            i += bytes;
            cell += cells;
        }
        if (current != plain) text += Introducer(text) + "0m";
        out.push_back(std::move(text));
    }
    return out;
}

}  // namespace morvane
