// The submission template filler on any bytes: each template line before the first "e" line
// gives exactly the page lines its first character calls for, and nothing after it reaches the
// page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "document/abc.h"
#include "document/textlines.h"
#include "submission/sendvalues.h"
#include "submission/submissionpage.h"

namespace {

using morvane::Tabc;

// A small coloured picture: its table never grows long enough to spill.
Tabc& Picture() {
    static Tabc doc = [] {
        Tabc made;
        made.FWideCells = false;
        made.FLines = {"A<\"&", "", "\xD6\xD0 x"};
        made.FRowCount = 3;
        made.FColCount = 4;
        made.SizeGrid(3);
        made.FMarked[0][1] = true;
        made.FCells[0][1] = {0x0000FF, 0x800000};
        made.FMarked[2][3] = true;
        made.FCells[2][3] = {0x00FF00, 0};
        return made;
    }();
    return doc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view templateText(reinterpret_cast<const char*>(data), size);
    Tabc& doc = Picture();
    std::vector<std::string> table;
    doc.BuildHtmlLines(table);
    const morvane::TSendValues values = morvane::ComputeSendValues(doc, size % 2, "fuzz");

    const std::string page = morvane::FillSubmissionPage(templateText, values, doc);
    std::size_t expected = 0;
    bool built = false;
    for (const std::string& line : morvane::SplitTextLines(templateText)) {
        const char selector = line.empty() ? '\0' : line[0];
        if (selector == 'e') break;
        if (selector == 's') built = true;
        expected += selector == 's' || selector == 'i' ? (built ? table.size() : 0) : 1;
    }
    if (morvane::SplitTextLines(page).size() != expected) std::abort();
    if (!page.empty() && page.substr(page.size() - 2) != "\r\n") std::abort();
    return 0;
}
