#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/messages.h"

namespace morvane {

/// A colour 0x00BBGGRR (red in the low byte). Values read from hand-made colour files may lie
/// outside 0..0xFFFFFF; they are kept as read and used by their low 24 bits.
using TColor = std::int32_t;

enum TDocKind : std::uint8_t { dkHtml = 0, dkColor = 1, dkText = 2, dkNone = 3 };

struct TCellColors {
    TColor Fg;
    TColor Bg;
};

/// The text-art document: the text, one GB2312 byte string per row, and a fixed grid of 80 rows by
/// 200 columns giving each character cell its colours. Rows count from 0, columns from 1, so
/// narrow cell c of row r is byte c of FLines[r]; column 0 of the grid arrays is unused.
///
/// The fields are read directly by the display panel, the main window and the writers.
class Tabc {
public:
    static constexpr int kMaxRows = 80;
    static constexpr int kMaxCols = 200;
    static constexpr TColor kWhite = 0xFFFFFF;
    static constexpr TColor kBlack = 0;

    Tabc();

    /// Where the scratch file "quillet.tmp" goes: a folder ending in '/', or empty for the
    /// current working folder.
    void SetTempDir(std::string dir) { FTempDir = std::move(dir); }
    /// Receives the reader's and writer's messages; not owned. Null discards them.
    void SetMessageSink(TMessageSink* sink) { FSink = sink; }

    void Reset();
    void ClearGrid();
    /// The kind a path would load as, from its extension (any letter case); none when the
    /// extension is not one of ours.
    std::optional<TDocKind> DetectKind(const std::string& path) const;
    /// Loads the file by its kind; false (and dkNone) when it is missing or its reader failed.
    /// Throws EFileError when a colour document's files cannot be read.
    bool LoadFile(const std::string& path);
    bool LoadHtml(const std::string& path);

    // Text reader: ANSI SGR colours into the grid, sequences out of the text.
    bool LoadText(const std::string& path);
    std::string ParseLine(std::string_view line, int row);
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
    /// Fills list with the coloured table's lines; lines beyond 1000 spill to FSpillPath first
    /// (FSpilled tells), and a caller writing them out writes that file's lines before the list.
    void BuildHtmlLines(std::vector<std::string>& list);

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
    TColor FCurFg = 0;
    TColor FCurBg = 0;
    TColor FDefaultFg = 0;
    TColor FDefaultBg = 0;
    std::vector<std::string> FLines;
    std::int32_t FMaxCols = 0;
    std::int32_t FMaxRows = 0;
    bool FHasEscapes = false;
    // Filled by the constructor's Reset (ClearGrid), not zeroed first: each load clears it anyway.
    TCellColors FCells[kMaxRows][kMaxCols + 1];
    bool FMarked[kMaxRows][kMaxCols + 1];

private:
    void ContinueSequence(std::string_view& rest);
    void EndSequence(bool apply);
    void ShowMessage(const std::string& text);
    void AddHtmlLine(std::vector<std::string>& list, std::string& buffer);

    std::string FTempDir;
    TMessageSink* FSink = nullptr;
    // The open sequence's parameters: the codes of those already ended by ';', then the one being
    // read. They take effect only at a final "m", and carry over a line end with FInEscape.
    std::vector<int> FSeqCodes;
    std::string FSeqParam;
};

/// The file named as path with its last three characters replaced by ext, found by its exact name
/// first and then ignoring letter case; path itself when it already has that extension. Empty
/// when there is no such file.
std::string CompanionPath(const std::string& path, const char* ext);

/// The colour as the number that pages print, 0xRRGGBB, from its low 24 bits.
std::uint32_t SwapRedBlue(TColor colour);

}  // namespace morvane
