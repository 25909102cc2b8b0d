#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "document/abc.h"
#include "document/screenreader.h"
#include "document/sgrparameter.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

constexpr char kEsc = 0x1B;

constexpr TColor kNormal[8] = {0x000000, 0x000080, 0x008000, 0x008080,
                               0x800000, 0x800080, 0x808000, 0xC0C0C0};
constexpr TColor kBright[8] = {0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                               0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The final bytes of the sequences that move the cursor or erase: A B C D E F G H J K X d f s u.
bool IsPlacementFinal(int final) {
    constexpr std::uint64_t kUpper = (1ull << ('A' - 64)) | (1ull << ('B' - 64)) |
                                     (1ull << ('C' - 64)) | (1ull << ('D' - 64)) |
                                     (1ull << ('E' - 64)) | (1ull << ('F' - 64)) |
                                     (1ull << ('G' - 64)) | (1ull << ('H' - 64)) |
                                     (1ull << ('J' - 64)) | (1ull << ('K' - 64)) |
                                     (1ull << ('X' - 64)) | (1ull << ('d' - 64)) |
                                     (1ull << ('f' - 64)) | (1ull << ('s' - 64)) |
                                     (1ull << ('u' - 64));
    return final >= 64 && final < 128 && ((kUpper >> (final - 64)) & 1);
}

// Bytes that end a run of plain text: those that start a sequence or place the cursor.
bool IsSpecial(char ch) { return ch == kEsc || ch == '*' || ch == '\t' || ch == '\b'; }

bool StartsWith(std::string_view text, char a, char b) {
    return text.size() >= 2 && text[0] == a && text[1] == b;
}

bool StartsWith(std::string_view text, char a, char b, char c) {
    return text.size() >= 3 && text[0] == a && text[1] == b && text[2] == c;
}

// The 256 colours of xterm: the 16 of the palette, a 6 x 6 x 6 cube, then 24 greys.
std::optional<TColor> PaletteColour(int n) {
    static constexpr int kLevels[6] = {0, 95, 135, 175, 215, 255};
    if (n < 0 || n > 255) return std::nullopt;
    if (n < 8) return kNormal[n];
    if (n < 16) return kBright[n - 8];
    if (n < 232) {
        const int cube = n - 16;
        return kLevels[cube / 36] | kLevels[cube / 6 % 6] << 8 | kLevels[cube % 6] << 16;
    }
    const int grey = 8 + 10 * (n - 232);
    return grey | grey << 8 | grey << 16;
}

std::optional<TColor> RgbColour(int r, int g, int b) {
    for (int v : {r, g, b})
        if (v < 0 || v > 255) return std::nullopt;
    return r | g << 8 | b << 16;
}

// ESC and a printable byte is a sequence of its own (ESC "(B", ESC "*s", ESC "7"), unless the
// byte opens a BBS introducer, where the ESC is only a stray one. rest starts with ESC.
bool StartsEscSequence(std::string_view rest) {
    if (rest.size() < 2 || rest[1] < 0x20 || rest[1] > 0x7E) return false;
    return !StartsWith(rest.substr(1), '*', '[') && !StartsWith(rest.substr(1), '*', '*', '[');
}

}  // namespace

bool Tabc::LoadText(const std::string& path) {
    FSourcePath = path;
    FTextPath = path;
    FColorPath.clear();
    FWideCells = false;
    FSpilled = false;
    FHasEscapes = false;
    ClearGrid();
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const EFileError& error) {
        FLoadError = FileNameToGb(error.what());
        return false;
    }
    const std::optional<size_t> nul = ParseText(bytes);
    const std::string name = "\"" + FileNameToGb(NameOf(path)) + "\"";
    if (nul) {
        ShowNotice(name + ": the text ends at a NUL byte at offset " + std::to_string(*nul) +
                   "; what follows it is not shown.");
    }
    if (FLines.size() > static_cast<size_t>(FMaxRows)) {
        ShowNotice(name + " has " + std::to_string(FLines.size()) +
                   " lines: the picture and the page end at line " + std::to_string(FMaxRows) +
                   "; the text holds them all.");
    }
    if (FColCount > kPictureColumns) {
        ShowNotice(name + " has lines of " + std::to_string(FColCount) +
                   " columns: the picture ends at column " + std::to_string(kPictureColumns) +
                   " (2048 pixels); the text and the page hold them whole.");
    }
    return true;
}

std::optional<size_t> Tabc::ParseText(std::string_view bytes) {
    const size_t nul = bytes.find('\0');
    const std::string_view text = bytes.substr(0, nul);
    FWideCells = false;
    FHasEscapes = false;
    // A sequence left open at the end of the last load must not swallow the start of this one:
    // reloading a file shows what loading it showed.
    EndSequence(false);
    FBright = false;
    FReversed = false;
    FCurAttr = 0;
    FCurFg = FDefaultFg;
    FCurBg = FDefaultBg;
    std::optional<TEncoding> encoding = FEncodingChoice;
    if (!encoding && IsUtf8Art(text)) encoding = TEncoding::Utf8;
    FScreenPlaced = encoding == TEncoding::Utf8 || !ParseLines(text);
    if (FScreenPlaced) {
        // What the line reader read before it gave up goes: the screen reader starts afresh.
        EndSequence(false);
        FBright = false;
        FReversed = false;
        FCurAttr = 0;
        FCurFg = FDefaultFg;
        FCurBg = FDefaultBg;
        FHasEscapes = false;
        TScreenReader(*this, encoding == TEncoding::Utf8 ? TEncoding::Utf8 : TEncoding::Gb)
            .Read(text);
    }
    FBlinks = false;
    for (const auto& row : FAttrs)
        for (std::uint8_t attr : row) FBlinks = FBlinks || (attr & caBlink);
    FEncoding = encoding ? *encoding : DetectEncoding(FLines);
    return nul == std::string_view::npos ? std::nullopt : std::optional<size_t>(nul);
}

bool Tabc::ParseLines(std::string_view text) {
    FNeedsScreen = false;
    FLines = SplitTextLines(text);
    FColCount = 1;
    FRowCount = static_cast<std::int32_t>(std::min<size_t>(FLines.size(), FMaxRows));
    SizeGrid(FRowCount);
    // Every line is parsed so that no escape byte reaches the text; only the grid's rows count.
    for (size_t r = 0; r < FLines.size(); ++r) {
        FLines[r] = ParseLine(FLines[r], static_cast<int>(std::min<size_t>(r, INT32_MAX)));
        if (FNeedsScreen) return false;
        if (r < static_cast<size_t>(FRowCount))
            FColCount = std::max(FColCount, ColumnCount(FLines[r].size()));
    }
    return true;
}

std::string Tabc::ParseLine(std::string_view line, int row) {
    std::string out;
    out.reserve(line.size());
    const bool inGrid = row >= 0 && static_cast<size_t>(row) < FMarked.size();
    std::string_view rest = line;
    while (!rest.empty()) {
        if (FInEscape) {
            ContinueSequence(rest);
            continue;
        }
        if (TakeIntroducer(rest)) continue;
        // Plain text up to the next byte that may start a sequence or place the cursor.
        size_t run = 0;
        while (run < rest.size() && !IsSpecial(rest[run])) ++run;
        if (run == 0) {
            if (rest[0] == '\t' || rest[0] == '\b' || (rest[0] == kEsc && StartsEscSequence(rest))) {
                FNeedsScreen = true;
                return out;
            }
            if (rest[0] == kEsc) {
                // An ESC that starts no sequence prints nothing, as on a terminal.
                rest.remove_prefix(1);
                continue;
            }
            run = 1;  // a '*' that starts no introducer is text
        }
        const size_t firstCol = out.size() + 1;
        out.append(rest.data(), run);
        rest.remove_prefix(run);
        const bool coloured = FCurFg != FDefaultFg || FCurBg != FDefaultBg;
        if (!inGrid || (!coloured && FCurAttr == 0)) continue;
        const size_t lastCol = std::min(firstCol + run - 1, static_cast<size_t>(FMaxCols));
        if (coloured) {
            for (size_t col = firstCol; col <= lastCol; ++col) {
                FMarked[row][col] = true;
                FCells[row][col] = {FCurFg, FCurBg};
            }
        }
        if (FCurAttr != 0) {
            for (size_t col = firstCol; col <= lastCol; ++col)
                SetCellAttr(row, static_cast<int>(col), FCurAttr);
        }
    }
    return out;
}

bool Tabc::TakeIntroducer(std::string_view& rest) {
    size_t length = 0;
    if (StartsWith(rest, kEsc, kEsc, '[') || StartsWith(rest, '*', '*', '['))
        length = 3;
    else if (StartsWith(rest, kEsc, '[') || StartsWith(rest, '*', '['))
        length = 2;
    if (length == 0) return false;
    rest.remove_prefix(length);
    // A new introducer abandons a sequence that never reached its final byte.
    FHasEscapes = true;
    FInEscape = true;
    FSeqCodes.clear();
    FSeqParam.clear();
    return true;
}

void Tabc::ContinueSequence(std::string_view& rest) {
    if (TakeIntroducer(rest)) return;
    ReadParameter(rest);
    if (TakeSeparator(rest) || rest.empty()) return;
    const int final = TakeFinal(rest);
    if (IsPlacementFinal(final)) FNeedsScreen = true;
    // A control byte or a byte of 0x80 and above ends the sequence and stays for the text.
    EndSequence(final == 'm');
}

void Tabc::ReadParameter(std::string_view& rest) {
    size_t n = 0;
    while (n < rest.size()) {
        const unsigned char ch = static_cast<unsigned char>(rest[n]);
        if (ch < 0x20 || ch > 0x3F || ch == ';') break;
        // An introducer inside a sequence starts a new one, "*[" as well as ESC "[".
        if (StartsWith(rest.substr(n), '*', '[') || StartsWith(rest.substr(n), '*', '*', '['))
            break;
        ++n;
    }
    FSeqParam.append(rest.data(), n);
    rest.remove_prefix(n);
}

bool Tabc::TakeSeparator(std::string_view& rest) {
    if (rest.empty() || rest[0] != ';') return false;
    rest.remove_prefix(1);
    FSeqCodes.push_back(SgrParameterCode(FSeqParam));
    FSeqParam.clear();
    return true;
}

int Tabc::TakeFinal(std::string_view& rest) {
    if (rest.empty()) return -1;
    const unsigned char ch = static_cast<unsigned char>(rest[0]);
    if (ch < 0x40 || ch > 0x7E) return -1;
    rest.remove_prefix(1);
    return ch;
}

void Tabc::EndSequence(bool apply) {
    FInEscape = false;
    if (apply) {
        FSeqCodes.push_back(SgrParameterCode(FSeqParam));
        ApplySgrList(FSeqCodes);
    }
    FSeqCodes.clear();
    FSeqParam.clear();
}

void Tabc::ApplySgrList(const std::vector<int>& codes) {
    for (size_t i = 0; i < codes.size(); ++i) {
        const int code = codes[i];
        const bool extended = (code == 38 || code == 48) && i + 1 < codes.size() &&
                              (codes[i + 1] == 5 || codes[i + 1] == 2);
        if (!extended) {
            ApplySgr(code);
            continue;
        }
        // 38;5;n and 38;2;r;g;b take their values with them, whole or not at all: a colour cut
        // short or out of range changes nothing.
        const size_t values = codes[i + 1] == 5 ? 1 : 3;
        const size_t first = i + 2;
        i = std::min(first + values, codes.size()) - 1;
        if (first + values > codes.size()) continue;
        std::optional<TColor> colour;
        if (values == 1) colour = PaletteColour(codes[first]);
        if (values == 3) colour = RgbColour(codes[first], codes[first + 1], codes[first + 2]);
        if (colour) (code == 38 ? FCurFg : FCurBg) = *colour;
    }
}

void Tabc::ApplySgr(int code) {
    // The colours first: art sets them far more often than anything else.
    if (code >= 30 && code <= 37) {
        FCurFg = FBright ? kBright[code - 30] : kNormal[code - 30];
    } else if (code >= 40 && code <= 47) {
        FCurBg = kNormal[code - 40];
    } else if (code == 0) {
        FBright = false;
        FReversed = false;
        FCurAttr = 0;
        FCurFg = FDefaultFg;
        FCurBg = FDefaultBg;
    } else if (code == 1) {
        FBright = true;
        for (int n = 0; n < 8; ++n) {
            if (FCurFg == kNormal[n]) {
                FCurFg = kBright[n];
                break;
            }
        }
    } else if (code == 4) {
        FCurAttr |= caUnderline;
    } else if (code == 5 || code == 6) {
        FCurAttr |= caBlink;
    } else if (code == 7) {
        std::swap(FCurFg, FCurBg);
        FReversed = !FReversed;
    } else if (code == 8) {
        FCurFg = FCurBg;
    } else if (code == 22) {
        // Normal intensity takes back what 1 brightened; the default foreground stays itself.
        FBright = false;
        for (int n = 0; n < 8; ++n) {
            if (FCurFg == kBright[n] && FCurFg != FDefaultFg) {
                FCurFg = kNormal[n];
                break;
            }
        }
    } else if (code == 24) {
        FCurAttr &= ~caUnderline;
    } else if (code == 25) {
        FCurAttr &= ~caBlink;
    } else if (code == 27) {
        if (FReversed) std::swap(FCurFg, FCurBg);
        FReversed = false;
    } else if (code == 39) {
        FCurFg = FDefaultFg;
    } else if (code == 49) {
        FCurBg = FDefaultBg;
    }
}

}  // namespace morvane
