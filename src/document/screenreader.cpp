#include "document/screenreader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "document/abc.h"
#include "document/sgrparameter.h"

namespace morvane {
namespace {

constexpr char kEsc = 0x1B;
// The terminal's width: cursor moves stop at its last column, printed text does not.
constexpr int kColumns = 80;

// The length of a CSI introducer at text[at]: ESC "[", ESC ESC "[", "*[" or "**["; 0 for none.
size_t IntroducerLength(std::string_view text, size_t at) {
    const std::string_view rest = text.substr(at);
    for (std::string_view introducer : {"\x1B\x1B[", "**[", "\x1B[", "*["})
        if (rest.substr(0, introducer.size()) == introducer) return introducer.size();
    return 0;
}

bool IsLineBreak(char ch) { return ch == '\r' || ch == '\n'; }

// The bytes a line break takes: CR LF is one break.
size_t LineBreakLength(std::string_view text, size_t at) {
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
}

}  // namespace

TScreenReader::TScreenReader(Tabc& doc, TEncoding encoding)
    : FDoc(doc), FUtf8(encoding == TEncoding::Utf8) {}

void TScreenReader::Read(std::string_view text) {
    FDoc.SizeGrid(Tabc::kMaxRows);
    size_t i = 0;
    while (i < text.size()) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (IsLineBreak(text[i])) {
            NewLine();
            i += LineBreakLength(text, i);
        } else if (ch == kEsc) {
            i = Escape(text, i);
        } else if (ch == '*' && IntroducerLength(text, i)) {
            i = ControlSequence(text, i + IntroducerLength(text, i));
        } else if (ch == '\t') {
            FCol = (FCol / 8 + 1) * 8;
            ++i;
        } else if (ch == '\b') {
            FCol = std::max(0, FCol - 1);
            ++i;
        } else if (ch < 0x20 || ch == 0x7F) {
            // A terminal shows no other control character.
            ++i;
        } else if (ch < 0x80 || !FUtf8) {
            Write(text.substr(i, 1), 1);
            ++i;
        } else {
            const TCharacter character = NextCharacter(TEncoding::Utf8, text.substr(i));
            Write(text.substr(i, character.Bytes), character.Cells);
            i += character.Bytes;
        }
    }
    Finish();
}

size_t TScreenReader::Escape(std::string_view text, size_t at) {
    if (const size_t introducer = IntroducerLength(text, at))
        return ControlSequence(text, at + introducer);
    size_t i = at + 1;
    // A stray ESC before a BBS introducer prints nothing; the introducer reads as usual.
    if (i < text.size() && IntroducerLength(text, i)) return i;
    while (i < text.size() && text[i] >= 0x20 && text[i] <= 0x2F) ++i;
    if (i < text.size() && text[i] >= 0x30 && text[i] <= 0x7E) {
        if (i == at + 1 && text[i] == '7') {
            FSavedRow = FRow;
            FSavedCol = FCol;
        } else if (i == at + 1 && text[i] == '8') {
            FRow = FSavedRow;
            FCol = FSavedCol;
        }
        return i + 1;
    }
    // Cut short: what was read is dropped, the byte that ended it reads on its own.
    return i;
}

size_t TScreenReader::ControlSequence(std::string_view text, size_t at) {
    FDoc.FHasEscapes = true;
    std::vector<int> params;
    std::string param;
    bool intermediate = false;
    size_t i = at;
    while (i < text.size()) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (IsLineBreak(text[i])) {
            // A sequence left open at a line's end goes on in the next line.
            NewLine();
            i += LineBreakLength(text, i);
        } else if (IntroducerLength(text, i)) {
            return i;
        } else if (ch >= 0x30 && ch <= 0x3F) {
            if (ch == ';') {
                params.push_back(SgrParameterCode(param));
                param.clear();
            } else {
                param += static_cast<char>(ch);
            }
            ++i;
        } else if (ch >= 0x20 && ch <= 0x2F) {
            intermediate = true;
            ++i;
        } else if (ch >= 0x40 && ch <= 0x7E) {
            params.push_back(SgrParameterCode(param));
            if (!intermediate) Perform(static_cast<char>(ch), params);
            return i + 1;
        } else {
            // A control byte or a byte of 0x80 and above ends the sequence and stays for the text.
            return i;
        }
    }
    return i;
}

void TScreenReader::Perform(char final, const std::vector<int>& params) {
    auto param = [&params](size_t k) { return k < params.size() ? params[k] : 0; };
    const int n = std::max(param(0), 1);
    const int lastRow = Tabc::kMaxRows - 1;
    switch (final) {
        case 'A':
            FRow = std::max(0, FRow - n);
            break;
        case 'B':
            FRow = std::max(FRow, std::min(FRow + n, lastRow));
            break;
        case 'C':
            FCol = std::max(FCol, std::min(FCol + n, kColumns - 1));
            break;
        case 'D':
            FCol = std::max(0, FCol - n);
            break;
        case 'E':
            FRow = std::max(FRow, std::min(FRow + n, lastRow));
            FCol = 0;
            break;
        case 'F':
            FRow = std::max(0, FRow - n);
            FCol = 0;
            break;
        case 'G':
            FCol = std::min(n, kColumns) - 1;
            break;
        case 'd':
            FRow = std::min(n, lastRow + 1) - 1;
            break;
        case 'H':
        case 'f':
            FRow = std::min(std::max(param(0), 1), lastRow + 1) - 1;
            FCol = std::min(std::max(param(1), 1), kColumns) - 1;
            break;
        case 's':
            FSavedRow = FRow;
            FSavedCol = FCol;
            break;
        case 'u':
            FRow = FSavedRow;
            FCol = FSavedCol;
            break;
        case 'J':
            EraseScreen(std::max(param(0), 0));
            break;
        case 'K':
            EraseLine(std::max(param(0), 0));
            break;
        case 'X':
            EraseInRow(FRow, FCol, FCol + n - 1, true);
            break;
        case 'm':
            FDoc.ApplySgrList(params);
            break;
        default:
            break;  // modes, scrolling regions and the like change nothing on paper
    }
}

void TScreenReader::NewLine() {
    Row(FRow).Used = true;
    ++FRow;
    FCol = 0;
}

TScreenReader::TRow& TScreenReader::Row(int row) {
    if (static_cast<size_t>(row) >= FRows.size()) FRows.resize(static_cast<size_t>(row) + 1);
    return FRows[static_cast<size_t>(row)];
}

void TScreenReader::Write(std::string_view bytes, int cells) {
    TRow& row = Row(FRow);
    row.Used = true;
    const size_t end = static_cast<size_t>(FCol) + static_cast<size_t>(cells);
    if (row.Cells.size() < end) row.Cells.resize(end);
    if (FUtf8) {
        // Writing over half of a wide character leaves its other half blank, as a terminal does.
        if (row.Cells[FCol].Size == 0 && FCol > 0) row.Cells[FCol - 1] = TUnit{};
        if (end < row.Cells.size() && row.Cells[end].Size == 0) row.Cells[end] = TUnit{};
    }
    TUnit unit;
    std::copy(bytes.begin(), bytes.end(), unit.Bytes);
    unit.Size = static_cast<std::uint8_t>(bytes.size());
    row.Cells[FCol] = unit;
    for (int k = 1; k < cells; ++k) row.Cells[FCol + k] = TUnit{{0, 0, 0, 0}, 0};
    for (int k = 0; k < cells; ++k) PaintCell(FRow, FCol + k, false);
    FCol += cells;
}

void TScreenReader::PaintCell(int row, int col, bool erased) {
    const int gridCol = col + 1;
    if (static_cast<size_t>(row) >= FDoc.FMarked.size() || gridCol > Tabc::kMaxCols) return;
    // An erased cell takes the background in force, as terminals erase; a written one also the
    // foreground and the attributes.
    const TColor fg = erased ? FDoc.FDefaultFg : FDoc.FCurFg;
    const TColor bg = FDoc.FCurBg;
    const bool coloured = fg != FDoc.FDefaultFg || bg != FDoc.FDefaultBg;
    FDoc.FMarked[row][gridCol] = coloured;
    FDoc.FCells[row][gridCol] =
        coloured ? TCellColors{fg, bg} : TCellColors{FDoc.FDefaultFg, FDoc.FDefaultBg};
    const std::uint8_t attr = erased ? 0 : FDoc.FCurAttr;
    if (attr != 0 || FDoc.CellAttr(row, gridCol) != 0) FDoc.SetCellAttr(row, gridCol, attr);
}

void TScreenReader::EraseInRow(int rowIndex, int first, int last, bool keepLength) {
    TRow& row = Row(rowIndex);
    const int length = static_cast<int>(row.Cells.size());
    const bool painted = FDoc.FCurBg != FDoc.FDefaultBg;
    if (FUtf8 && first < length && row.Cells[first].Size == 0 && first > 0)
        row.Cells[first - 1] = TUnit{};
    if (FUtf8 && last + 1 < length && row.Cells[last + 1].Size == 0) row.Cells[last + 1] = TUnit{};
    if (!painted && !keepLength && last >= length - 1) {
        // Erased to its end in the default background, the row ends where the erase began.
        for (int col = first; col < length; ++col) PaintCell(rowIndex, col, true);
        if (first < length) row.Cells.resize(static_cast<size_t>(first));
        return;
    }
    // A coloured background paints the erased cells up to the screen's edge.
    int end = std::min(last, std::max(length, painted ? kColumns : 0) - 1);
    if (end >= length) row.Cells.resize(static_cast<size_t>(end) + 1);
    for (int col = first; col <= end; ++col) {
        row.Cells[col] = TUnit{};
        PaintCell(rowIndex, col, true);
    }
}

void TScreenReader::EraseLine(int mode) {
    if (mode == 0) EraseInRow(FRow, FCol, INT_MAX, false);
    if (mode == 1) EraseInRow(FRow, 0, FCol, true);
    if (mode == 2) EraseInRow(FRow, 0, INT_MAX, false);
}

void TScreenReader::EraseScreen(int mode) {
    // Rows erased whole are emptied, and those below the cursor show no more; the background
    // paints only along the cursor's row.
    auto clearRow = [this](int row) {
        if (static_cast<size_t>(row) >= FRows.size()) return;
        FRows[row].Cells.clear();
        if (row > FRow) FRows[row].Used = false;
        if (static_cast<size_t>(row) >= FDoc.FMarked.size()) return;
        FDoc.FMarked[row].fill(false);
        FDoc.FCells[row].fill({FDoc.FDefaultFg, FDoc.FDefaultBg});
        if (static_cast<size_t>(row) < FDoc.FAttrs.size()) FDoc.FAttrs[row].fill(0);
    };
    const int rows = static_cast<int>(FRows.size());
    if (mode == 0) {
        EraseLine(0);
        for (int row = FRow + 1; row < rows; ++row) clearRow(row);
    } else if (mode == 1) {
        for (int row = 0; row < std::min(FRow, rows); ++row) clearRow(row);
        EraseLine(1);
    } else if (mode == 2 || mode == 3) {
        for (int row = 0; row < rows; ++row) clearRow(row);
        // A cleared screen starts afresh: rows that held what it erased show no more.
        for (TRow& row : FRows) row.Used = false;
    }
}

void TScreenReader::Finish() {
    int last = -1;
    for (size_t row = 0; row < FRows.size(); ++row)
        if (FRows[row].Used) last = static_cast<int>(row);
    const size_t rows = static_cast<size_t>(last + 1);
    FDoc.FLines.assign(rows, std::string());
    FDoc.FRowCount = static_cast<std::int32_t>(std::min<size_t>(rows, Tabc::kMaxRows));
    FDoc.FColCount = 1;
    for (size_t row = 0; row < rows; ++row) {
        std::string& line = FDoc.FLines[row];
        line.reserve(FRows[row].Cells.size());
        for (const TUnit& unit : FRows[row].Cells) line.append(unit.Bytes, unit.Size);
        if (row < static_cast<size_t>(FDoc.FRowCount))
            FDoc.FColCount = std::max(FDoc.FColCount, ColumnCount(FRows[row].Cells.size()));
    }
    FDoc.FCells.resize(static_cast<size_t>(FDoc.FRowCount));
    FDoc.FMarked.resize(static_cast<size_t>(FDoc.FRowCount));
    if (FDoc.FAttrs.size() > static_cast<size_t>(FDoc.FRowCount))
        FDoc.FAttrs.resize(static_cast<size_t>(FDoc.FRowCount));
}

}  // namespace morvane
