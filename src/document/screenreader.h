#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/charsets.h"

namespace morvane {

class Tabc;

/// Reads text into a document as an 80-column terminal shows it: characters land where the cursor
/// stands, each with the colours and attributes in force when it was written. Lines past column 80
/// go on in the same row (boards are often wider); moves stop at column 80, row 1 and row 553.
/// The document's lines are the screen's rows, blanks where it shows blanks; its grid holds their
/// colours.
class TScreenReader {
public:
    /// encoding is the one the text is in; only UTF-8 changes how characters take their cells.
    TScreenReader(Tabc& doc, TEncoding encoding);

    /// Fills the document's lines, grid, row and column counts from text, which holds no NUL.
    void Read(std::string_view text);

private:
    struct TUnit {
        // The bytes of the character that starts in this cell; none in the second cell of a
        // wide character.
        char Bytes[4] = {' ', 0, 0, 0};
        std::uint8_t Size = 1;
    };
    struct TRow {
        std::vector<TUnit> Cells;
        // Written on or ended by a line break since the screen was last erased: the row shows.
        bool Used = false;
    };

    size_t Escape(std::string_view text, size_t at);
    size_t ControlSequence(std::string_view text, size_t at);
    void Perform(char final, const std::vector<int>& params);
    void NewLine();
    void Write(std::string_view bytes, int cells);
    void EraseInRow(int row, int first, int last, bool keepLength);
    void EraseLine(int mode);
    void EraseScreen(int mode);
    void PaintCell(int row, int col, bool erased);
    TRow& Row(int row);
    void Finish();

    Tabc& FDoc;
    bool FUtf8;
    std::vector<TRow> FRows;
    int FRow = 0;
    int FCol = 0;
    int FSavedRow = 0;
    int FSavedCol = 0;
};

}  // namespace morvane
