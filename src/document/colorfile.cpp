#include <algorithm>
#include <charconv>

#include "document/abc.h"
#include "document/textlines.h"
#include "platform/files.h"

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
        if (FPos >= FText.size()) return line;
        size_t end = FText.find('\n', FPos);
        if (end == std::string::npos) end = FText.size();
        for (size_t i = FPos; i < end; ++i)
            if (FText[i] != '\r') line += FText[i];
        FPos = end + 1;
        return line;
    }

private:
    std::string FText;
    size_t FPos = 0;
};

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
    const std::string textPath = CompanionPath(path, "txt");
    if (!textPath.empty()) FTextPath = textPath;
    FColorPath = CompanionPath(path, "clo");
    if (FColorPath.empty()) FColorPath = path.substr(0, path.size() - 3) + "clo";
    ClearGrid();
    FWideCells = false;
    FSpilled = false;
    bool failed = false;

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
    cols = std::min(cols, FMaxCols);
    rows = std::min(rows, FMaxRows);

    const std::string mode = lines.Next();
    if (!mode.empty() && mode[0] != '#') {
        failed = true;
    } else if (mode.size() < 2 || mode[1] < '0' || mode[1] > '9') {
        ShowMessage("Lost:\"#\"!");
        failed = true;
    }
    if (!failed) {
        FWideCells = mode[1] == '2';
        for (int r = 0; r < rows && !failed; ++r) {
            for (int c = 1; c <= cols; ++c) {
                const std::string record = lines.Next();
                std::optional<std::int32_t> fg = FDefaultFg;
                std::optional<std::int32_t> bg = FDefaultBg;
                if (record == "*1") {
                    fg = ParseInt(lines.Next());
                } else if (record == "*2") {
                    bg = ParseInt(lines.Next());
                } else if (record == "*3") {
                    fg = ParseInt(lines.Next());
                    if (fg) bg = ParseInt(lines.Next());
                } else {
                    continue;
                }
                if (!fg || !bg) {
                    ShowMessage("ColorLoad Error" + record.substr(1) + "!");
                    failed = true;
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
    }
    if (FLines.size() < static_cast<size_t>(FRowCount)) FLines.resize(FRowCount);
    for (const std::string& line : FLines)
        FColCount = std::max<std::int32_t>(FColCount, static_cast<std::int32_t>(line.size()));
    FColCount = std::min(FColCount, FMaxCols);
    FRowCount = std::min(FRowCount, FMaxRows);
    return !failed;
}

void Tabc::SaveColorFile(const std::string& path) {
    if (FColCount > FMaxCols || FRowCount > FMaxRows) ShowMessage(kClipNotice);
    WriteFileAtomic(path.substr(0, path.size() - std::min<size_t>(3, path.size())) + "txt",
                    JoinCrLf(FLines));
    WriteColorData(path);
}

void Tabc::WriteColorData(const std::string& path) {
    const std::int32_t rows = std::min(FRowCount, FMaxRows);
    const std::int32_t cols = std::min(FColCount, FMaxCols);
    std::string out;
    out.reserve(static_cast<size_t>(rows) * cols * 6 + 16);
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    line(std::to_string(rows));
    line(std::to_string(cols));
    line(FWideCells ? "#2" : "#1");
    for (int r = 0; r < rows; ++r) {
        for (int c = 1; c <= cols; ++c) {
            const TCellColors cell = FCells[r][c];
            if (!FMarked[r][c]) {
                line("@");
            } else if (cell.Fg != FDefaultFg && cell.Bg != FDefaultBg) {
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
    WriteFileAtomic(path, out);
}

}  // namespace morvane
