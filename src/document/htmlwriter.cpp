#include <type_traits>

#include "document/abc.h"
#include "document/htmlescape.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

constexpr size_t kMaxListLines = 1000;

const char kTableStart[] =
    "<table border=\"0\"> <tr BGCOLOR=\"#00000\"><td class=\"quillet\"><font "
    "color=\"#eeeeee\"> ";
const char kTableEnd[] = "</font></td></tr></table>";

// Blinking runs hide in their background half of every second, as a terminal's do.
const char kPlainStyle[] =
    "<style type=\"text/css\"><!--  .quillet {  line-height: 99%}--> </style></HEAD><BODY";
const char kAttributeStyle[] =
    "<style type=\"text/css\"><!--  .quillet {  line-height: 99%} .blink { animation: blink 1s "
    "step-end infinite } @keyframes blink { 50% { color: transparent } } .underline { "
    "text-decoration: underline }--> </style></HEAD><BODY";

// Six upper-case hex digits, red first, as pages print colours.
void AppendColor(std::string& out, TColor colour) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::uint32_t rgb = SwapRedBlue(colour);
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xF];
}

// A cell's text, escaped as HtmlEscape(text, hemText) would, without a string per cell.
void AppendCellText(std::string& out, std::string_view text) {
    if (text == " ") return;
    for (char ch : text) {
        switch (ch) {
            case ' ':
                out += "&nbsp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\t':
                out += "&nbsp;&nbsp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += ch;
        }
    }
}

// The page is in the art's encoding, so a file name written in UTF-8 is converted to read right
// there.
std::string TitleLine(const std::string& sourcePath, TEncoding encoding) {
    const std::string name = NameOf(sourcePath);
    const std::string title = encoding == TEncoding::Big5   ? FileNameToBig5(name)
                              : encoding == TEncoding::Utf8 ? name
                                                            : FileNameToGb(name);
    return "<H1><CENTER><font color=ff0000 size=12 >" + HtmlEscape(title, hemText) +
           "</font></CENTER></H1>";
}

std::string CharsetLine(TEncoding encoding) {
    return std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
           CharsetName(encoding) + "\">";
}

// A page written line by line, in chunks: a long page needs no copy of itself in memory.
class TPageOut {
public:
    explicit TPageOut(const std::string& path) : FFile(path) {}

    void Line(std::string_view line) {
        FChunk += line;
        FChunk += "\r\n";
        if (FChunk.size() >= kChunkBytes) {
            FFile.Write(FChunk);
            FChunk.clear();
        }
    }

    void Finish() {
        FFile.Write(FChunk);
        FFile.Commit();
    }

private:
    static constexpr size_t kChunkBytes = 64 * 1024;
    TFileWriter FFile;
    std::string FChunk;
};

}  // namespace

std::uint32_t SwapRedBlue(TColor colour) {
    const std::uint32_t v = static_cast<std::uint32_t>(colour) & 0xFFFFFF;
    return ((v & 0xFF) << 16) | (v & 0xFF00) | (v >> 16);
}

void Tabc::SaveHtml(const std::string& path) {
    switch (FKind) {
        case dkHtml:
            WriteFileAtomic(path, ReadWholeFile(FSourcePath));
            break;
        case dkColor:
            WriteColorPage(path);
            break;
        case dkText:
            FHasEscapes ? WriteColorPage(path) : WriteTextPage(path);
            break;
        case dkNone:
            break;
    }
}

void Tabc::WriteColorPage(const std::string& path) {
    TPageOut page(path);
    page.Line("<HTML><HEAD><meta name=\"GENERATOR\" content=\"Quillet\">");
    page.Line(CharsetLine(FEncoding));
    page.Line(HasAttributes() ? kAttributeStyle : kPlainStyle);
    page.Line("background=\"bk.gif\" BGCOLOR=\"#000000\" text=\"#ffffff\">");
    page.Line(TitleLine(FSourcePath, FEncoding));
    const std::int64_t width = static_cast<std::int64_t>(FColCount) * 8 + 32;
    page.Line("<div align=\"center\"><table width=\"" + std::to_string(width) +
              "\" border=\"0\" bgcolor=\"#222222\"><tr><td>");
    // The table's lines go straight to the page, in the order a build spilling them would give.
    page.Line(kTableStart);
    BuildHtmlRows([&page](std::string& line) {
        page.Line(line);
        line.clear();
    });
    page.Line(kTableEnd);
    FSpilled = false;
    page.Line("</td></tr></table></div></BODY></HTML>");
    page.Finish();
}

void Tabc::WriteTextPage(const std::string& path) {
    TPageOut page(path);
    page.Line("<HTML><HEAD><meta name=\"GENERATOR\" content=\"Tavrel\">");
    page.Line(CharsetLine(FEncoding));
    page.Line(
        "<style type=\"text/css\"><!--  .quillet {  line-height: 100%}--> </style> "
        "</HEAD><BODY background=\"bk.gif\">");
    page.Line(TitleLine(FSourcePath, FEncoding));
    for (const std::string& line : FLines) page.Line(HtmlEscape(line, hemText) + "<br>");
    page.Line("</BODY></HTML>");
    page.Finish();
}

void Tabc::BuildHtmlLines(std::vector<std::string>& list) {
    FSpilled = false;
    list.clear();
    list.emplace_back(kTableStart);
    BuildHtmlRows([this, &list](std::string& line) { AddHtmlLine(list, line); });
    list.emplace_back(kTableEnd);
}

void Tabc::BuildHtmlRows(const std::function<void(std::string& line)>& flush) {
    std::string buffer;
    // A UTF-8 row's cells: the first cell of a character holds its bytes, a wide one's second
    // cell none.
    std::vector<std::string_view> cellTexts;
    const bool utf8 = FEncoding == TEncoding::Utf8 && !FWideCells;
    // Attributes name only the colours that differ from the defaults, then the classes of
    // blinking and underlined runs.
    auto appendAttributes = [this, &buffer](const TCellColors& cell, std::uint8_t attr) {
        if (cell.Fg != FDefaultFg) {
            buffer += "color=\"#";
            AppendColor(buffer, cell.Fg);
            buffer += "\" ";
        }
        if (cell.Bg != FDefaultBg) {
            buffer += "style=\"BACKGROUND-COLOR:#";
            AppendColor(buffer, cell.Bg);
            buffer += "\" ";
        }
        if (attr & (caBlink | caUnderline)) {
            buffer += "class=\"";
            if (attr & caBlink) buffer += (attr & caUnderline) ? "blink " : "blink";
            if (attr & caUnderline) buffer += "underline";
            buffer += "\" ";
        }
    };
    // One row; made once for each kind of row, so that rows of GB or Big5 art without attributes,
    // nearly all of them, pay for neither UTF-8 nor attributes.
    auto buildRow = [&](int r, auto utf8Row, auto attrRow) {
        constexpr bool kUtf8 = decltype(utf8Row)::value;
        constexpr bool kAttrs = decltype(attrRow)::value;
        const std::string& line = FLines[r];
        const std::int64_t n = static_cast<std::int64_t>(kUtf8 ? cellTexts.size() : line.size());
        // A row the grid does not hold has no colours.
        const bool inGrid = static_cast<size_t>(r) < FMarked.size();
        const std::uint8_t* attrs = kAttrs ? FAttrs[r].data() : nullptr;
        bool fontOpen = false;
        for (std::int64_t col = 1;; ++col) {
            std::string_view text;
            if (FWideCells) {
                const size_t from = 2 * static_cast<size_t>(col) - 2;
                if (from < line.size()) text = std::string_view(line).substr(from, 2);
            } else if (col <= n) {
                text = kUtf8 ? cellTexts[col - 1] : std::string_view(line).substr(col - 1, 1);
            }
            const bool gridCell = inGrid && col <= FMaxCols;
            const bool marked = gridCell && FMarked[r][col];
            const std::uint8_t attr = kAttrs && gridCell ? attrs[col] : 0;
            const bool styled = marked || attr != 0;
            const TCellColors cell = marked ? FCells[r][col] : TCellColors{FDefaultFg, FDefaultBg};
            if (col == 1 && styled) {
                fontOpen = true;
                buffer += "<font";
                if (cell.Fg != FDefaultFg || cell.Bg != FDefaultBg || attr != 0) {
                    buffer += ' ';
                    appendAttributes(cell, attr);
                    buffer.pop_back();
                }
                buffer += '>';
            } else if (styled && fontOpen) {
                const TCellColors& prev = FCells[r][col - 1];
                if (cell.Fg != prev.Fg || cell.Bg != prev.Bg || (kAttrs && attr != attrs[col - 1])) {
                    buffer += "</font><font ";
                    flush(buffer);
                    appendAttributes(cell, attr);
                    buffer += '>';
                }
            } else if (styled) {
                fontOpen = true;
                buffer += "<font  ";
                flush(buffer);
                appendAttributes(cell, attr);
                buffer += '>';
            } else if (fontOpen) {
                buffer += "</font>";
                fontOpen = false;
            }
            // A narrow cell is one byte, so a blank there is always shown.
            if (!FWideCells && text == " ")
                buffer += "&nbsp;";
            else
                AppendCellText(buffer, text);
            if (col >= n) break;
        }
        if (fontOpen) buffer += "</font>";
        if (r != FRowCount - 1) buffer += "<br>";
        flush(buffer);
    };
    for (int r = 0; r < FRowCount; ++r) {
        const bool attrRow = static_cast<size_t>(r) < FAttrs.size();
        if (!utf8) {
            if (attrRow)
                buildRow(r, std::false_type{}, std::true_type{});
            else
                buildRow(r, std::false_type{}, std::false_type{});
            continue;
        }
        const std::string& line = FLines[r];
        cellTexts.clear();
        for (size_t at = 0; at < line.size();) {
            const TCharacter c = NextCharacter(FEncoding, std::string_view(line).substr(at));
            cellTexts.push_back(std::string_view(line).substr(at, c.Bytes));
            for (int k = 1; k < c.Cells; ++k) cellTexts.emplace_back();
            at += c.Bytes;
        }
        if (attrRow)
            buildRow(r, std::true_type{}, std::true_type{});
        else
            buildRow(r, std::true_type{}, std::false_type{});
    }
}

void Tabc::AddHtmlLine(std::vector<std::string>& list, std::string& buffer) {
    list.push_back(std::move(buffer));
    buffer.clear();
    if (list.size() <= kMaxListLines) return;
    FSpillPath = FTempDir + "quillet.tmp";
    if (!FSpillFile) FSpillFile = std::make_unique<TScratchFile>(FTempDir, FSpillPath);
    if (!FSpilled) FSpillFile->Truncate();
    std::string lines;
    for (const std::string& line : list) {
        lines += line;
        lines += "\r\n";
    }
    FSpillFile->Append(lines);
    FSpilled = true;
    list.clear();
}

std::string Tabc::SpilledLines() const {
    return FSpilled && FSpillFile ? FSpillFile->ReadAll() : std::string();
}

}  // namespace morvane
