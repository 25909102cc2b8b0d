#include "submission/submissionpage.h"

#include <algorithm>
#include <optional>

#include "document/htmlescape.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "submission/tablelines.h"

namespace morvane {
namespace {

void AppendLine(std::string& page, std::string_view line) {
    page += line;
    page += "\r\n";
}

// The value a substituting selector puts into its line; none for the other characters.
std::optional<std::string> SelectorValue(char selector, const TSendValues& values) {
    switch (selector) {
        case 'a':
            return std::string();
        case 'b':
            return values.Colors.BackgroundAttr;
        case 'c':
            return values.WideFlag;
        case 'f':
            return values.Colors.TextColorAttr;
        case 'h':
            return std::to_string(values.Height);
        case 'o':
            return std::to_string(values.Rows);
        case 'p':
            return values.UserId;
        case 'r':
            return values.Colors.Background;
        case 't':
            return std::to_string(values.WidthEstimate);
        case 'v':
            return std::to_string(values.CellsPerRow);
        case 'w':
            return std::to_string(values.SecondWidth);
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string SubstituteLine(std::string_view line, std::string_view value) {
    std::string out(line.substr(std::min<size_t>(1, line.size()), 14));
    out += value;
    if (line.size() > 15) out += line.substr(15);
    return out;
}

void WriteTableLines(Tabc& doc, std::vector<std::string>& list, std::string& page) {
    doc.BuildHtmlLines(list);
    ForEachTableLine(doc, list, [&page](const std::string& line) { AppendLine(page, line); });
}

void WriteEscapedTableLines(const Tabc& doc, const std::vector<std::string>& list,
                            std::string& page) {
    ForEachTableLine(doc, list, [&page](const std::string& line) {
        AppendLine(page, HtmlEscape(line, hemAttr));
    });
}

std::string FillSubmissionPage(std::string_view templateText, const TSendValues& values,
                               Tabc& doc) {
    std::string page;
    std::vector<std::string> list;
    // The document may still hold a scratch file from an earlier build: an i line before any s
    // line has no table to write.
    bool tableBuilt = false;
    for (const std::string& line : SplitTextLines(templateText)) {
        const char selector = line.empty() ? '\0' : line.front();
        if (selector == 'e') break;
        if (selector == 's') {
            WriteTableLines(doc, list, page);
            tableBuilt = true;
        } else if (selector == 'i') {
            if (tableBuilt) WriteEscapedTableLines(doc, list, page);
        } else if (std::optional<std::string> value = SelectorValue(selector, values)) {
            AppendLine(page, SubstituteLine(line, *value));
        } else {
            AppendLine(page, line);
        }
    }
    return page;
}

void WriteSubmissionPage(const std::string& templatePath, const std::string& pagePath,
                         const TSendValues& values, Tabc& doc) {
    WriteFileAtomic(pagePath, FillSubmissionPage(ReadWholeFile(templatePath), values, doc));
}

}  // namespace morvane
