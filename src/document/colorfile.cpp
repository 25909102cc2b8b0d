#include <algorithm>
#include <charconv>

#include "document/abc.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

// "注意：" CR "行x列大于80X200的部分已被剪裁。" in GB2312: the part beyond 80 x 200 was clipped.
const char kClipNotice[] =
    "\xD7\xA2\xD2\xE2\xA3\xBA\r"
    "\xD0\xD0x\xC1\xD0\xB4\xF3\xD3\xDA"
    "80X200\xB5\xC4\xB2\xBF\xB7\xD6\xD2\xD1\xB1\xBB\xBC\xF4\xB2\xC3\xA1\xA3";

// The colour part's lines: LF or CR LF ends a line, a CR that no LF follows is dropped, and
// 0x1A ends the file. Reading past the end gives empty lines.
class TColorLines {
public:
    explicit TColorLines(std::string text) : FText(std::move(text)) {
        const size_t eof = FText.find('\x1A');
        if (eof != std::string::npos) FText.resize(eof);
    }

    std::string Next() {
        std::string line;
        ++FNumber;
        if (FPos >= FText.size()) return line;
        size_t end = FText.find('\n', FPos);
        if (end == std::string::npos) end = FText.size();
        for (size_t i = FPos; i < end; ++i)
            if (FText[i] != '\r') line += FText[i];
        FPos = end + 1;
        return line;
    }

    /// The number of the line Next returned last, counting from 1.
    int Number() const { return FNumber; }
    bool AtEnd() const { return FPos >= FText.size(); }
    bool Empty() const { return FText.find_first_not_of(" \t\r\n") == std::string::npos; }

private:
    std::string FText;
    size_t FPos = 0;
    int FNumber = 0;
};

// What was found where something else was expected, for a message.
std::string Found(const TColorLines& lines, const std::string& line) {
    if (line.empty() && lines.AtEnd()) return "the end of the file";
    return "\"" + line.substr(0, 40) + (line.size() > 40 ? "...\"" : "\"");
}

// A decimal integer with an optional sign, nothing else.
std::optional<std::int32_t> ParseInt(const std::string& line) {
    const char* first = line.data();
    const char* last = line.data() + line.size();
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first < '0' || *first > '9') return std::nullopt;
    }
    std::int32_t value = 0;
    auto [end, err] = std::from_chars(first, last, value);
    if (err != std::errc() || end != last) return std::nullopt;
    return value;
}

}  // namespace

bool Tabc::LoadColorFile(const std::string& path) {
    FSourcePath = path;
    // A colour part without its text part shows its colours over empty rows, also on a reload
    // after the text part went away.
    FTextPath = CompanionPath(path, "txt", FFolderIndex);
    FColorPath = CompanionPath(path, "clo", FFolderIndex);
    if (FColorPath.empty()) FColorPath = path.substr(0, path.size() - 3) + "clo";
    ClearGrid();
    FWideCells = false;
    FSpilled = false;
    bool failed = false;
    const std::string colorName = "\"" + FileNameToGb(NameOf(FColorPath)) + "\"";
    auto fail = [&](const std::string& message, const std::string& detail) {
        FLoadError = colorName + ", line " + detail;
        if (!message.empty()) ShowMessage(message + "\n" + FLoadError);
        failed = true;
    };

    TColorLines lines(ReadWholeFile(FColorPath));
    std::int32_t rows = 0;
    std::int32_t cols = 0;
    const std::optional<std::int32_t> rowLine = ParseInt(lines.Next());
    const std::optional<std::int32_t> colLine = rowLine ? ParseInt(lines.Next()) : std::nullopt;
    if (rowLine && colLine) {
        // A negative count is as good as none.
        rows = std::max(*rowLine, 0);
        cols = std::max(*colLine, 0);
    }
    if (rows > FMaxRows) {
        ShowNotice(colorName + " has " + std::to_string(rows) +
                   " rows: the picture and the page end at row " + std::to_string(FMaxRows) + ".");
    }
    cols = std::min(cols, FMaxCols);
    rows = std::min(rows, FMaxRows);
    SizeGrid(rows);

    const std::string mode = lines.Next();
    if (lines.Empty()) {
        FLoadError = colorName + " is empty: it holds no colours.";
        ShowMessage(FLoadError);
        failed = true;
    } else if (!mode.empty() && mode[0] != '#') {
        fail("", std::to_string(lines.Number()) + ": the cell mode \"#1\" or \"#2\" was expected, found " +
                     Found(lines, mode) + ".");
    } else if (mode.size() < 2 || mode[1] < '0' || mode[1] > '9') {
        fail("Lost:\"#\"!", std::to_string(lines.Number()) +
                               ": the cell mode \"#1\" or \"#2\" was expected, found " +
                               Found(lines, mode) + ".");
    }
    if (!failed) {
        FWideCells = mode[1] == '2';
        for (int r = 0; r < rows && !failed; ++r) {
            for (int c = 1; c <= cols; ++c) {
                const std::string record = lines.Next();
                if (record != "*1" && record != "*2" && record != "*3") continue;
                std::optional<std::int32_t> fg = FDefaultFg;
                std::optional<std::int32_t> bg = FDefaultBg;
                std::string value;
                if (record != "*2") fg = ParseInt(value = lines.Next());
                if (record != "*1" && fg) bg = ParseInt(value = lines.Next());
                if (!fg || !bg) {
                    fail("ColorLoad Error" + record.substr(1) + "!",
                         std::to_string(lines.Number()) + ": a colour number was expected after \"" +
                             record + "\" (row " + std::to_string(r + 1) + ", cell " +
                             std::to_string(c) + "), found " + Found(lines, value) + ".");
                    break;
                }
                FCells[r][c] = {*fg, *bg};
                FMarked[r][c] = true;
            }
        }
    }

    FColCount = cols;
    FRowCount = rows;
    if (!FTextPath.empty()) {
        FLines = ReadTextLines(FTextPath);
    } else {
        FLines.clear();
        if (!failed) {
            ShowNotice(colorName + " has no text part \"" +
                       FileNameToGb(NameOf(path.substr(0, path.size() - 3) + "txt")) +
                       "\" beside it: only its colours are shown.");
        }
    }
    if (FLines.size() < static_cast<size_t>(FRowCount)) FLines.resize(FRowCount);
    TakeEncoding();
    // The width of the lines a picture can hold, as the text reader measures it, so that a text
    // saved as a colour document keeps its width.
    const size_t measured = std::min<size_t>(FLines.size(), FMaxRows);
    for (size_t r = 0; r < measured; ++r)
        FColCount = std::max(FColCount, ColumnCount(FLines[r].size()));
    FColCount = std::min(FColCount, FMaxCols);
    FRowCount = std::min(FRowCount, FMaxRows);
    return !failed;
}

void Tabc::SaveColorFile(const std::string& path) {
    if (FColCount > FMaxCols || FRowCount > FMaxRows) ShowMessage(kClipNotice);
    // Both parts replace their old versions together or not at all: new text under old colours
    // would be a different picture.
    const std::string text = JoinCrLf(FLines);
    const std::string colors = ColorData();
    WriteFilesAtomic({{path.substr(0, path.size() - std::min<size_t>(3, path.size())) + "txt", text},
                      {path, colors}});
}

void Tabc::WriteColorData(const std::string& path) { WriteFileAtomic(path, ColorData()); }

std::string Tabc::ColorData() const {
    const std::int32_t rows = std::min(FRowCount, FMaxRows);
    const std::int32_t cols = std::min(FColCount, FMaxCols);
    const auto gridRows = static_cast<std::int32_t>(FMarked.size());
    std::string out;
    out.reserve(static_cast<size_t>(std::max(rows, 0)) * std::max(cols, 0) * 6 + 16);
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    line(std::to_string(rows));
    line(std::to_string(cols));
    line(FWideCells ? "#2" : "#1");
    for (int r = 0; r < rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            if (r >= gridRows || !FMarked[r][c]) {
                line("@");
                continue;
            }
            const TCellColors cell = FCells[r][c];
            if (cell.Fg != FDefaultFg && cell.Bg != FDefaultBg) {
                line("*3");
                line(std::to_string(cell.Fg));
                line(std::to_string(cell.Bg));
            } else if (cell.Bg == FDefaultBg) {
                line("*1");
                line(std::to_string(cell.Fg));
            } else {
                line("*2");
                line(std::to_string(cell.Bg));
            }
        }
    }
    return out;
}

}  // namespace morvane
