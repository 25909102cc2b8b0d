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

// The parameters that bring a reset reader to these colours: the palette where it has them,
// 24-bit colour where it has not.
std::string Parameters(const TCellColors& colours, const Tabc& doc) {
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
    const TCellColors plain{doc.FDefaultFg, doc.FDefaultBg};
    const int cellBytes = doc.FWideCells ? 2 : 1;
    for (size_t r = 0; r < doc.FLines.size(); ++r) {
        const std::string& line = doc.FLines[r];
        if (r >= doc.FMarked.size()) {
            out.push_back(line);
            continue;
        }
        std::string text;
        TCellColors current = plain;
        bool secondHalf = false;
        for (size_t i = 0; i < line.size(); ++i) {
            if (secondHalf) {
                secondHalf = false;
                text += line[i];
                continue;
            }
            secondHalf = wholeCharacters && cellBytes == 1 && i + 1 < line.size() &&
                         IsDoubleBytePair(static_cast<std::uint8_t>(line[i]),
                                          static_cast<std::uint8_t>(line[i + 1]));
            const size_t cell = i / cellBytes + 1;
            TCellColors wanted = plain;
            if (cell <= Tabc::kMaxCols && doc.FMarked[r][cell]) wanted = doc.FCells[r][cell];
            if (wanted.Fg != current.Fg || wanted.Bg != current.Bg) {
                text += Introducer(text) + Parameters(wanted, doc) + "m";
                current = wanted;
            }
            text += line[i];
        }
        if (current.Fg != plain.Fg || current.Bg != plain.Bg) text += Introducer(text) + "0m";
        out.push_back(std::move(text));
    }
    return out;
}

}  // namespace morvane
