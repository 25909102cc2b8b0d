#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "document/abc.h"
#include "document/htmlescape.h"
#include "document/textlines.h"
#include "platform/files.h"

namespace morvane {
namespace {

constexpr size_t kMaxListLines = 1000;

std::string ColorText(TColor colour) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(SwapRedBlue(colour)));
    return digits;
}

std::string TitleLine(const std::string& sourcePath) {
    return "<H1><CENTER><font color=ff0000 size=12 >" + HtmlEscape(NameOf(sourcePath), hemText) +
           "</font></CENTER></H1>";
}

void AppendLine(std::string& page, std::string_view line) {
    page += line;
    page += "\r\n";
}

}  // namespace

std::uint32_t SwapRedBlue(TColor colour) {
    const std::uint32_t v = static_cast<std::uint32_t>(colour) & 0xFFFFFF;
    return ((v & 0xFF) << 16) | (v & 0xFF00) | (v >> 16);
}

void Tabc::SaveHtml(const std::string& path) {
    switch (FKind) {
        case dkHtml: WriteFileAtomic(path, ReadWholeFile(FSourcePath)); break;
        case dkColor: WriteColorPage(path); break;
        case dkText: FHasEscapes ? WriteColorPage(path) : WriteTextPage(path); break;
        case dkNone: break;
    }
}

void Tabc::WriteColorPage(const std::string& path) {
    std::string page;
    AppendLine(page, "<HTML><HEAD><meta name=\"GENERATOR\" content=\"Quillet\">");
    AppendLine(page, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">");
    AppendLine(page,
               "<style type=\"text/css\"><!--  .quillet {  line-height: 99%}--> </style></HEAD><BODY");
    AppendLine(page, "background=\"bk.gif\" BGCOLOR=\"#000000\" text=\"#ffffff\">");
    AppendLine(page, TitleLine(FSourcePath));
    AppendLine(page, "<div align=\"center\"><table width=\"" + std::to_string(FColCount * 8 + 32) +
                         "\" border=\"0\" bgcolor=\"#222222\"><tr><td>");
    std::vector<std::string> list;
    BuildHtmlLines(list);
    if (FSpilled && FileExists(FSpillPath)) {
        for (const std::string& line : ReadTextLines(FSpillPath)) AppendLine(page, line);
    }
    FSpilled = false;
    for (const std::string& line : list) AppendLine(page, line);
    AppendLine(page, "</td></tr></table></div></BODY></HTML>");
    WriteFileAtomic(path, page);
}

void Tabc::WriteTextPage(const std::string& path) {
    std::string page;
    AppendLine(page, "<HTML><HEAD><meta name=\"GENERATOR\" content=\"Tavrel\">");
    AppendLine(page, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">");
    AppendLine(page,
               "<style type=\"text/css\"><!--  .quillet {  line-height: 100%}--> </style> "
               "</HEAD><BODY background=\"bk.gif\">");
    AppendLine(page, TitleLine(FSourcePath));
    for (const std::string& line : FLines) AppendLine(page, HtmlEscape(line, hemText) + "<br>");
    AppendLine(page, "</BODY></HTML>");
    WriteFileAtomic(path, page);
}

void Tabc::BuildHtmlLines(std::vector<std::string>& list) {
    FSpilled = false;
    list.clear();
    list.emplace_back(
        "<table border=\"0\"> <tr BGCOLOR=\"#00000\"><td class=\"quillet\"><font "
        "color=\"#eeeeee\"> ");
    std::string buffer;
    for (int r = 0; r < FRowCount; ++r) {
        const std::string& line = FLines[r];
        const int n = static_cast<int>(line.size());
        bool fontOpen = false;
        auto attributes = [this](const TCellColors& cell) {
            std::string attrs;
            if (cell.Fg != FDefaultFg) attrs += "color=\"#" + ColorText(cell.Fg) + "\" ";
            if (cell.Bg != FDefaultBg)
                attrs += "style=\"BACKGROUND-COLOR:#" + ColorText(cell.Bg) + "\" ";
            return attrs;
        };
        for (int col = 1;; ++col) {
            std::string text;
            if (FWideCells) {
                const size_t from = 2 * static_cast<size_t>(col) - 2;
                if (from < line.size()) text = HtmlEscape(line.substr(from, 2), hemText);
            } else if (col <= n) {
                text = line[col - 1] == ' ' ? "&nbsp;" : HtmlEscape(line.substr(col - 1, 1), hemText);
            }
            const bool marked = col <= FMaxCols && FMarked[r][col];
            const TCellColors cell = col <= FMaxCols ? FCells[r][col] : TCellColors{};
            if (col == 1 && marked) {
                fontOpen = true;
                const std::string attrs = attributes(cell);
                buffer += attrs.empty() ? "<font>" : "<font " + attrs.substr(0, attrs.size() - 1) + ">";
                buffer += text;
            } else if (marked && fontOpen) {
                const TCellColors& prev = FCells[r][col - 1];
                if (cell.Fg != prev.Fg || cell.Bg != prev.Bg) {
                    buffer += "</font><font ";
                    AddHtmlLine(list, buffer);
                    buffer += attributes(cell) + ">";
                }
                buffer += text;
            } else if (marked) {
                fontOpen = true;
                buffer += "<font  ";
                AddHtmlLine(list, buffer);
                buffer += attributes(cell) + ">" + text;
            } else {
                if (fontOpen) buffer += "</font>";
                fontOpen = false;
                buffer += text;
            }
            if (col >= n) break;
        }
        if (fontOpen) buffer += "</font>";
        if (r != FRowCount - 1) buffer += "<br>";
        AddHtmlLine(list, buffer);
    }
    list.emplace_back("</font></td></tr></table>");
}

void Tabc::AddHtmlLine(std::vector<std::string>& list, std::string& buffer) {
    list.push_back(std::move(buffer));
    buffer.clear();
    if (list.size() <= kMaxListLines) return;
    FSpillPath = FTempDir + "quillet.tmp";
    errno = 0;
    std::ofstream spill(FSpillPath, std::ios::binary | (FSpilled ? std::ios::app : std::ios::trunc));
    for (const std::string& line : list) spill << line << "\r\n";
    spill.close();
    if (!spill) {
        throw EFileError("cannot write \"" + FSpillPath + "\": " +
                         (errno ? std::strerror(errno) : "write failed"));
    }
    FSpilled = true;
    list.clear();
}

}  // namespace morvane
