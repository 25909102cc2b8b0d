#include "document/screenreader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "document/abc.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TRecordingSink;
using test::TTempFolder;

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kRed = 0x000080;
constexpr TColor kGreen = 0x008000;
constexpr TColor kBlue = 0x800000;

struct TCellMark {
    int Row;
    int Col;
    TColor Fg;
    TColor Bg;
};

struct TScreenCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
    std::vector<TCellMark> Marks;  // every other cell is unmarked
};

std::string Spaces(size_t n) { return std::string(n, ' '); }

// A file through LoadFile as a terminal would show it: its rows, and exactly the cells coloured.
class ScreenReaderTest : public testing::TestWithParam<TScreenCase> {};

TEST_P(ScreenReaderTest, PlacesTextAsTheTerminalShowedIt) {
    TTempFolder dir;
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(dir.Write("a.txt", GetParam().Text)));
    EXPECT_EQ(doc.FLines, GetParam().Lines);
    for (const std::string& line : doc.FLines) {
        EXPECT_EQ(line.find('\x1B'), std::string::npos) << line;
        EXPECT_EQ(line.find('\t'), std::string::npos) << line;
    }
    ASSERT_EQ(doc.FMarked.size(), doc.FLines.size());
    std::vector<std::vector<bool>> expected(doc.FMarked.size(),
                                            std::vector<bool>(Tabc::kMaxCols + 1, false));
    for (const TCellMark& mark : GetParam().Marks) {
        ASSERT_LT(static_cast<size_t>(mark.Row), doc.FMarked.size());
        expected[mark.Row][mark.Col] = true;
        EXPECT_TRUE(doc.FMarked[mark.Row][mark.Col]) << mark.Row << ":" << mark.Col;
        EXPECT_EQ(doc.FCells[mark.Row][mark.Col].Fg, mark.Fg) << mark.Row << ":" << mark.Col;
        EXPECT_EQ(doc.FCells[mark.Row][mark.Col].Bg, mark.Bg) << mark.Row << ":" << mark.Col;
    }
    for (size_t r = 0; r < doc.FMarked.size(); ++r) {
        for (int c = 1; c <= Tabc::kMaxCols; ++c) {
            if (!expected[r][c]) {
                EXPECT_FALSE(doc.FMarked[r][c]) << r << ":" << c;
            }
        }
    }
}

std::vector<TCellMark> Painted(int row, int first, int last, TColor fg, TColor bg) {
    std::vector<TCellMark> marks;
    for (int col = first; col <= last; ++col) marks.push_back({row, col, fg, bg});
    return marks;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ScreenReaderTest,
    testing::Values(
        TScreenCase{"TabToNextMultipleOfEight", "a\tb", {"a" + Spaces(7) + "b"}, {}},
        TScreenCase{"TabAtAStopGoesToTheNext", "12345678\tX", {"12345678" + Spaces(8) + "X"}, {}},
        TScreenCase{"TabsPastColumn80GoOn", Spaces(79) + "\t\tX", {Spaces(88) + "X"}, {}},
        TScreenCase{"BackspaceMovesBack", "AB\bC", {"AC"}, {}},
        TScreenCase{"BackspaceStopsAtTheFirstColumn", "\b\bA\tB", {"A" + Spaces(7) + "B"}, {}},
        TScreenCase{"CursorForward", "A\x1B[3CB", {"A   B"}, {}},
        TScreenCase{"CursorForwardByOneWithoutParameter", "A\x1B[CB", {"A B"}, {}},
        TScreenCase{"CursorForwardStopsAtColumn80", "\x1B[200CX", {Spaces(79) + "X"}, {}},
        TScreenCase{"CursorBackOverwrites", "ABCD\x1B[2DX", {"ABXD"}, {}},
        TScreenCase{"CursorBackStopsAtColumn1", Spaces(74) + "\x1B[75Dok", {"ok" + Spaces(72)}, {}},
        TScreenCase{"TextPastColumn80GoesOnInTheRow",
                    std::string(85, 'x') + "\x1B[K",
                    {std::string(85, 'x')},
                    {}},
        TScreenCase{
            "CursorUpOverwritesAnEarlierRow", "AAA\r\nBBB\x1B[1A\x1B[1GX", {"XAA", "BBB"}, {}},
        TScreenCase{"CursorUpStopsAtRow1", "\x1B[5AX", {"X"}, {}},
        TScreenCase{"CursorDownAndNextLine", "A\x1B[2BB\x1B[EC", {"A", "", " B", "C"}, {}},
        TScreenCase{"CursorPosition", "\x1B[3;5HX", {"", "", "    X"}, {}},
        TScreenCase{"CursorPositionByF", "\x1B[2;2fX", {"", " X"}, {}},
        TScreenCase{"CursorPositionDefaultsToHome", "abc\x1B[HX", {"Xbc"}, {}},
        TScreenCase{"RowAbsolute", "AB\x1B[3dX", {"AB", "", "  X"}, {}},
        TScreenCase{"SaveAndRestore", "A\x1B[sBC\x1B[uX", {"AXC"}, {}},
        TScreenCase{"SaveAndRestoreOfDec",
                    "A\x1B"
                    "7BC\x1B"
                    "8X",
                    {"AXC"},
                    {}},
        TScreenCase{"EraseToLineEnd", "ABCDEF\x1B[3D\x1B[K", {"ABC"}, {}},
        TScreenCase{"EraseToLineEndPaintsItsBackground",
                    "\x1B[44mAB\x1B[K",
                    {"AB" + Spaces(78)},
                    Painted(0, 1, 80, kWhite, kBlue)},
        TScreenCase{"EraseToLineStart", "ABCD\x1B[2D\x1B[1K", {"   D"}, {}},
        TScreenCase{"EraseLine", "ABCD\x1B[2K", {""}, {}},
        TScreenCase{"EraseCharacters", "ABCDE\x1B[4D\x1B[2X", {"A  DE"}, {}},
        TScreenCase{"EraseScreenThenHome", "old\r\nrows\x1B[2J\x1B[Hnew", {"new"}, {}},
        TScreenCase{"EraseBelow", "AAA\r\nBBB\r\nCCC\x1B[2;2H\x1B[J", {"AAA", "B"}, {}},
        TScreenCase{"EraseAbove", "AAA\r\nBBBB\x1B[2D\x1B[1J", {"", "   B"}, {}},
        TScreenCase{"MacroEscapeRemoved", "\x1B*sX", {"X"}, {}},
        TScreenCase{"CharacterSetSelectionRemoved", "\x1B(BX\x1B)0Y", {"XY"}, {}},
        TScreenCase{
            "StrayEscBeforeStarIntroducer", "\t\x1B*[31mA", {Spaces(8) + "A"}, {{0, 9, kRed, 0}}},
        TScreenCase{"StarIntroducerMoves", "A*[3CB", {"A   B"}, {}},
        TScreenCase{"UnknownSequencesChangeNothing",
                    "\t\x1B[?25lA\x1B[2I\x1B[1;24rB",
                    {Spaces(8) + "AB"},
                    {}},
        TScreenCase{"ControlBytesShowNothing", "A\x07\x0C\x7F\tB", {"A" + Spaces(7) + "B"}, {}},
        TScreenCase{"SequenceGoesOnAfterALineBreak",
                    "A\x1B[1;\r\n31m\tX",
                    {"A", Spaces(8) + "X"},
                    {{1, 9, 0x0000FF, 0}}},
        TScreenCase{"ColoursStayWhereWritten",
                    "\x1B[31mA\x1B[3C\x1B[32mB",
                    {"A   B"},
                    {{0, 1, kRed, 0}, {0, 5, kGreen, 0}}},
        TScreenCase{"OverwriteInDefaultColoursUncolours",
                    "\x1B[31mAB\x1B[m\x1B[2DX",
                    {"XB"},
                    {{0, 2, kRed, 0}}},
        TScreenCase{"HalfColouredCharacterKeepsItsHalves",
                    "\t\xB0\x1B[31m\xA1",
                    {Spaces(8) + "\xB0\xA1"},
                    {{0, 10, kRed, 0}}},
        TScreenCase{"LineBreakAtTheEndAddsNoRow", "A\tB\r\n", {"A" + Spaces(7) + "B"}, {}},
        TScreenCase{"EmptyLinesCount", "\tA\n\n", {Spaces(8) + "A", ""}, {}}),
    [](const auto& info) { return info.param.Name; });

struct TPlacementCase {
    const char* Name;
    std::string Text;
    bool Uses;
};

class TerminalPlacementTest : public testing::TestWithParam<TPlacementCase> {};

TEST_P(TerminalPlacementTest, ChoosesTheScreenOnlyForTextThatNeedsIt) {
    Tabc doc;
    doc.ParseText(GetParam().Text);
    EXPECT_EQ(doc.FScreenPlaced, GetParam().Uses);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TerminalPlacementTest,
    testing::Values(TPlacementCase{"PlainText", "Hello\r\nworld", false},
                    TPlacementCase{"ColoursOnly", "\x1B[1;31mA\x1B[m*[32mB**[m", false},
                    TPlacementCase{"OtherFinalByte", "\x1B[2I\x1B[?25l", false},
                    TPlacementCase{"StrayEscBeforeStar", "\x1B*[31mA", false},
                    TPlacementCase{"EscBeforeHighByte", "\x1B\xB0\xA1", false},
                    TPlacementCase{"StarOnItsOwn", "*Star* [C]", false},
                    TPlacementCase{"Tab", "a\tb", true}, TPlacementCase{"Backspace", "ab\b", true},
                    TPlacementCase{"CursorForward", "\x1B[24C", true},
                    TPlacementCase{"StarCursorBack", "*[75D", true},
                    TPlacementCase{"Position", "\x1B[1;1H", true},
                    TPlacementCase{"EraseLine", "\x1B[K", true},
                    TPlacementCase{"MacroEscape", "\x1B*s", true},
                    TPlacementCase{"CharacterSet", "\x1B(B", true},
                    TPlacementCase{"MoveOnALaterLine", "a\r\nb\r\n\x1B[3Dc", true},
                    TPlacementCase{"MoveAfterALineBreakInside", "\x1B[1;\r\n5C", true},
                    TPlacementCase{"Utf8", "\xE2\x94\x80", true}),
    [](const auto& info) { return info.param.Name; });

TEST(ScreenReaderLimitsTest, MovesStopAtThePictureRowsButLinesGoOn) {
    TTempFolder dir;
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(dir.Write("a.txt", "\x1B[999;1HX\x1B[999BY\r\nZ")));
    ASSERT_EQ(doc.FLines.size(), 554u);
    EXPECT_EQ(doc.FLines[552], "XY");
    EXPECT_EQ(doc.FLines[553], "Z");
    EXPECT_EQ(doc.FRowCount, 553);
    EXPECT_EQ(doc.FMarked.size(), 553u);
}

TEST(ScreenReaderLimitsTest, WideRowsAreToldOfWhereThePictureEnds) {
    TTempFolder dir;
    TRecordingSink sink;
    Tabc doc;
    doc.SetMessageSink(&sink);
    ASSERT_TRUE(doc.LoadFile(dir.Write("wide.txt", "\t" + std::string(300, 'x') + "\r\n")));
    EXPECT_EQ(doc.FColCount, 308);
    ASSERT_EQ(sink.Notices.size(), 1u);
    EXPECT_NE(sink.Notices[0].find("308 columns"), std::string::npos) << sink.Notices[0];
    EXPECT_NE(sink.Notices[0].find("256"), std::string::npos) << sink.Notices[0];
}

std::string RealArt(const std::string& file) {
    const char* override = std::getenv("MORVANE_REALART");
    return std::string(override && *override ? override : MORVANE_REALART) + "/" + file;
}

// A board's mail menu: the envelope is drawn with cursor moves back to the first column, and the
// mailbox's right edge is placed 24 columns after its left one.
TEST(ScreenReaderRealArtTest, InankaiMenuKeepsItsMailboxFrameInPlace) {
    const std::string file =
        RealArt("gb/madoldman__inankai_bbs__bbssrc__bbshome__etc__menu1.ini.txt");
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no real art: " << file << " is missing";
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(file));
    ASSERT_EQ(doc.FEncoding, TEncoding::Gb);
    const std::string corner = "\xA9\xB0";  // the frame's top-left corner
    const std::string side = "\xA9\xA6";    // its upright sides
    size_t top = 0;
    while (top < doc.FLines.size() && doc.FLines[top] != "%S_MAIL") ++top;
    while (top < doc.FLines.size() && doc.FLines[top].find(corner) == std::string::npos) ++top;
    ASSERT_LT(top, doc.FLines.size()) << "no frame";
    const size_t left = doc.FLines[top].find(corner);
    EXPECT_EQ(left, 42u) << doc.FLines[top];
    int sides = 0;
    for (size_t row = top + 1; row < top + 12 && row < doc.FLines.size(); ++row) {
        const std::string& line = doc.FLines[row];
        if (line.compare(left, 2, side) != 0) continue;
        EXPECT_EQ(line.compare(left + 26, 2, side), 0) << "row " << row + 1 << ": " << line;
        ++sides;
    }
    EXPECT_GE(sides, 8);
}

}  // namespace
}  // namespace morvane
