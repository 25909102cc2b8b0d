// The text reader on any bytes, the line reader and the screen reader alike (cursor moves, erases,
// tabs, UTF-8): a document that loaded something else first, or that reloads the same bytes, must
// end up exactly as a fresh one, and its grid must fit its rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/abc.h"

namespace {

using morvane::Tabc;

void Same(const Tabc& a, const Tabc& b) {
    if (a.FLines != b.FLines || a.FRowCount != b.FRowCount || a.FColCount != b.FColCount ||
        a.FHasEscapes != b.FHasEscapes || a.FMarked.size() != b.FMarked.size() ||
        a.FMarked.size() != static_cast<size_t>(a.FRowCount) ||
        a.FCells.size() != a.FMarked.size() || a.FAttrs.size() > a.FMarked.size() ||
        a.FEncoding != b.FEncoding || a.FBlinks != b.FBlinks || a.FRowCount > Tabc::kMaxRows ||
        a.FColCount < 1)
        std::abort();
    for (size_t r = 0; r < a.FMarked.size(); ++r) {
        for (int c = 1; c <= Tabc::kMaxCols; ++c) {
            if (a.FMarked[r][c] != b.FMarked[r][c]) std::abort();
            if (a.FMarked[r][c] &&
                (a.FCells[r][c].Fg != b.FCells[r][c].Fg || a.FCells[r][c].Bg != b.FCells[r][c].Bg))
                std::abort();
            if (a.CellAttr(static_cast<int>(r), c) != b.CellAttr(static_cast<int>(r), c))
                std::abort();
        }
    }
    // Every ESC byte starts a sequence or is dropped: none reaches the text.
    for (const std::string& line : a.FLines)
        if (line.find('\x1B') != std::string::npos) std::abort();
    // The widest row of the picture is the document's width.
    for (size_t r = 0; r < static_cast<size_t>(a.FRowCount); ++r)
        if (morvane::CellCount(a.FEncoding, a.FLines[r]) > static_cast<size_t>(a.FColCount))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Tabc fresh;
    fresh.ParseText(bytes);

    static Tabc reused;
    reused.Reset();
    reused.ParseText("\x1B[1;31;44mleft over\r\n*[7mand an open \x1B[1;");
    reused.Reset();
    reused.ParseText(bytes);
    Same(fresh, reused);

    // A reload reads the file again without a Reset.
    reused.ParseText(bytes);
    Same(fresh, reused);
    return 0;
}
