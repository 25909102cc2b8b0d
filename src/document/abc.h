#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/charsets.h"
#include "document/messages.h"
#include "platform/largeblocks.h"

namespace morvane {

/// A colour 0x00BBGGRR (red in the low byte). Values read from hand-made colour files may lie
/// outside 0..0xFFFFFF; they are kept as read and used by their low 24 bits.
using TColor = std::int32_t;

enum TDocKind : std::uint8_t { dkHtml = 0, dkColor = 1, dkText = 2, dkNone = 3 };

struct TCellColors {
    TColor Fg;
    TColor Bg;
};

/// What a cell shows besides its colours (bits of FAttrs): it blinks, it is underlined.
enum TCellAttr : std::uint8_t { caBlink = 1, caUnderline = 2 };

class TFolderIndex;
class TScratchFile;

/// The text-art document: the text, one GB2312 byte string per row, and a grid of up to 553 rows
/// by 200 columns giving each character cell its colours. Rows count from 0, columns from 1, so
/// narrow cell c of row r is byte c of FLines[r]; column 0 of the grid rows is unused. The grid
/// holds FRowCount rows: its memory follows the document.
///
/// The fields are read directly by the display panel, the main window and the writers.
class Tabc {
public:
    /// The rows of a 8860-pixel picture: the grid, the picture, the page and the colour file
    /// end there; further lines stay text.
    static constexpr int kMaxRows = 553;
    static constexpr int kMaxCols = 200;
    /// The columns of the widest picture (2048 pixels); text past them is not drawn.
    static constexpr int kPictureColumns = 256;
    static constexpr TColor kWhite = 0xFFFFFF;
    static constexpr TColor kBlack = 0;

    Tabc();
    ~Tabc();
    Tabc(Tabc&&) noexcept;
    Tabc& operator=(Tabc&&) noexcept;

    /// Where the scratch file "quillet.tmp" goes: a folder ending in '/', or empty for the
    /// current working folder.
    void SetTempDir(std::string dir) { FTempDir = std::move(dir); }
    /// The encoding the next loads read their text in; none: found from the text itself.
    void SetEncodingChoice(std::optional<TEncoding> choice) { FEncodingChoice = choice; }
    /// Receives the reader's and writer's messages; not owned. Null discards them.
    void SetMessageSink(TMessageSink* sink) { FSink = sink; }
    /// Where companion files are looked up instead of reading their folder on each load; not
    /// owned. Null reads the folder.
    void SetFolderIndex(TFolderIndex* index) { FFolderIndex = index; }

    void Reset();
    /// Empties the grid: every cell unmarked in the default colours.
    void ClearGrid();
    /// Makes the grid rows high (at most kMaxRows), every cell unmarked in the default colours.
    void SizeGrid(int rows);
    /// The kind a path would load as, from its extension (any letter case); a file with another
    /// extension or none is text when its content is text. None for anything else.
    std::optional<TDocKind> DetectKind(const std::string& path) const;
    /// Loads the file by its kind; false (and dkNone) when it is missing or its reader failed,
    /// with FLoadError saying why. Throws EFileError when a colour document's files cannot be read.
    bool LoadFile(const std::string& path);
    /// After a colour document failed to load: its text part alone, as a text document.
    bool LoadTextPart();
    bool LoadHtml(const std::string& path);

    // Text reader: ANSI SGR colours into the grid, sequences out of the text.
    bool LoadText(const std::string& path);
    /// LoadText's work on bytes already read: lines, colours and sizes. Text that places itself
    /// as a terminal does (cursor moves, erases, tabs, backspaces) and UTF-8 text are read by the
    /// screen reader, the rest line by line. Returns the offset of a NUL byte that ended the text
    /// early, if any.
    std::optional<size_t> ParseText(std::string_view bytes);
    /// The line reader: splits text into lines and reads the escape sequences of each. False,
    /// at the first of them, when the text places characters as only a terminal's screen can
    /// show them (cursor moves and positions, erases, tabs, backspaces, escape sequences that are
    /// no CSI sequence): the screen reader reads such text.
    bool ParseLines(std::string_view text);
    std::string ParseLine(std::string_view line, int row);
    /// Applies the parameters of one sequence in order, those that take values (38;5;n,
    /// 38;2;r;g;b and their 48 forms) with their values.
    void ApplySgrList(const std::vector<int>& codes);
    void ApplySgr(int code);
    bool TakeIntroducer(std::string_view& rest);
    void ReadParameter(std::string_view& rest);
    bool TakeSeparator(std::string_view& rest);
    /// Takes a final byte (0x40..0x7E) off rest and returns it; -1, rest unchanged, otherwise.
    int TakeFinal(std::string_view& rest);

    // Colour document pair (.clo + .txt). The savers throw EFileError.
    bool LoadColorFile(const std::string& path);
    void SaveColorFile(const std::string& path);
    void WriteColorData(const std::string& path);

    // HTML pages. The savers throw EFileError.
    void SaveHtml(const std::string& path);
    void WriteColorPage(const std::string& path);
    void WriteTextPage(const std::string& path);
    /// Fills list with the coloured table's lines; lines beyond 1000 spill to a scratch file first
    /// (FSpilled tells), and a caller writing them out writes SpilledLines before the list.
    /// Throws EFileError when the scratch file cannot be written.
    void BuildHtmlLines(std::vector<std::string>& list);
    /// The lines the last build spilled, each followed by CR LF; empty unless FSpilled.
    std::string SpilledLines() const;

    bool FWideCells = false;
    std::int32_t FColCount = 0;
    std::int32_t FRowCount = 0;
    TDocKind FKind = dkNone;
    std::string FSpillPath;
    bool FSpilled = false;
    std::string FSourcePath;
    std::string FTextPath;
    std::string FColorPath;
    bool FInEscape = false;
    bool FBright = false;
    /// SGR 7 is in force, so SGR 27 has something to take back.
    bool FReversed = false;
    /// The attributes (TCellAttr bits) in force while the text reader runs.
    std::uint8_t FCurAttr = 0;
    TColor FCurFg = 0;
    TColor FCurBg = 0;
    TColor FDefaultFg = 0;
    TColor FDefaultBg = 0;
    std::vector<std::string> FLines;
    std::int32_t FMaxCols = 0;
    std::int32_t FMaxRows = 0;
    bool FHasEscapes = false;
    // A whole board touches a megabyte: huge pages spare it some 250 page faults.
    TLargeVector<std::array<TCellColors, kMaxCols + 1>> FCells;
    TLargeVector<std::array<bool, kMaxCols + 1>> FMarked;
    /// The attributes of the grid's cells (TCellAttr bits), rows as in FMarked; empty while no
    /// cell has any, as in most art. Attributes do not mark a cell: its colours stay as they are.
    std::vector<std::array<std::uint8_t, kMaxCols + 1>> FAttrs;
    /// Some cell of the grid blinks.
    bool FBlinks = false;
    /// The text was read by the screen reader, as a terminal places it.
    bool FScreenPlaced = false;
    /// The attributes of a cell (row from 0, column from 1); 0 outside the grid.
    std::uint8_t CellAttr(int row, int col) const {
        return static_cast<size_t>(row) < FAttrs.size() && col >= 0 && col <= kMaxCols
                   ? FAttrs[row][col]
                   : 0;
    }
    /// Some cell of the grid has attributes.
    bool HasAttributes() const;
    /// Sets a grid cell's attributes; the row must be in the grid.
    void SetCellAttr(int row, int col, std::uint8_t attr);
    /// The character set of the text's double-byte characters: set by every load of text, found
    /// from the text unless a choice was set.
    TEncoding FEncoding = TEncoding::Gb;
    /// Why the last LoadFile failed, for the user (GB2312 text, as messages are): empty after a
    /// success.
    std::string FLoadError;

private:
    std::string ColorData() const;
    void TakeEncoding();
    void ContinueSequence(std::string_view& rest);
    void EndSequence(bool apply);
    void ShowMessage(const std::string& text);
    void ShowNotice(const std::string& text);
    /// Builds the table's rows, handing each line to flush as it is done (flush empties it).
    void BuildHtmlRows(const std::function<void(std::string& line)>& flush);
    void AddHtmlLine(std::vector<std::string>& list, std::string& buffer);

    std::string FTempDir;
    TMessageSink* FSink = nullptr;
    TFolderIndex* FFolderIndex = nullptr;
    std::optional<TEncoding> FEncodingChoice;
    // Holds the spilled lines; made with the first spill, without a name on disk.
    std::unique_ptr<TScratchFile> FSpillFile;
    // The open sequence's parameters: the codes of those already ended by ';', then the one being
    // read. They take effect only at a final "m", and carry over a line end with FInEscape.
    std::vector<int> FSeqCodes;
    std::string FSeqParam;
    // The line reader met what only the screen reader places.
    bool FNeedsScreen = false;
};

/// The file named as path with its last three characters replaced by ext, found by its exact name
/// first and then ignoring letter case; path itself when it already has that extension. Empty
/// when there is no such file. Looked up in index when one is given.
std::string CompanionPath(const std::string& path, const char* ext, TFolderIndex* index = nullptr);

/// The length of a text as a column count: a count beyond the 32-bit range is cut to its limit.
std::int32_t ColumnCount(size_t length);

/// The colour as the number that pages print, 0xRRGGBB, from its low 24 bits.
std::uint32_t SwapRedBlue(TColor colour);

}  // namespace morvane
