#include <gtest/gtest.h>

#include <algorithm>

#include "document/abc.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TRecordingSink;
using test::TTempFolder;

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kRed = 0x000080;
constexpr TColor kBrightRed = 0x0000FF;
constexpr TColor kGreen = 0x008000;
constexpr TColor kBrightGreen = 0x00FF00;

struct TMark {
    int Col;
    TColor Fg;
    TColor Bg;
};

struct TAttrMark {
    int Col;
    std::uint8_t Attr;
};

struct TLineCase {
    const char* Name;
    std::string Line;
    std::string Text;
    std::vector<TMark> Marks;           // every other cell of the row is unmarked
    std::vector<TAttrMark> Attrs = {};  // every other cell of the row has no attributes
};

// One line through LoadText: the text left, and exactly the cells that got colours.
class ParseLineTest : public testing::TestWithParam<TLineCase> {};

TEST_P(ParseLineTest, LeavesTheTextAndColoursTheCells) {
    TTempFolder dir;
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(dir.Write("a.txt", GetParam().Line + "\r\n")));
    ASSERT_EQ(doc.FLines.size(), 1u);
    EXPECT_EQ(doc.FLines[0], GetParam().Text);
    std::vector<bool> expected(Tabc::kMaxCols + 1, false);
    for (const TMark& mark : GetParam().Marks) {
        expected[mark.Col] = true;
        EXPECT_TRUE(doc.FMarked[0][mark.Col]) << "col " << mark.Col;
        EXPECT_EQ(doc.FCells[0][mark.Col].Fg, mark.Fg) << "col " << mark.Col;
        EXPECT_EQ(doc.FCells[0][mark.Col].Bg, mark.Bg) << "col " << mark.Col;
    }
    for (int c = 1; c <= Tabc::kMaxCols; ++c) {
        if (!expected[c]) {
            EXPECT_FALSE(doc.FMarked[0][c]) << "col " << c;
        }
    }
    std::vector<std::uint8_t> attrs(Tabc::kMaxCols + 1, 0);
    for (const TAttrMark& mark : GetParam().Attrs) attrs[mark.Col] = mark.Attr;
    for (int c = 1; c <= Tabc::kMaxCols; ++c)
        EXPECT_EQ(doc.CellAttr(0, c), attrs[c]) << "col " << c;
    EXPECT_EQ(doc.FBlinks, std::any_of(attrs.begin(), attrs.end(),
                                       [](std::uint8_t attr) { return attr & caBlink; }));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ParseLineTest,
    testing::Values(
        TLineCase{"Plain", "Hello", "Hello", {}},
        TLineCase{"BrightRed", "\x1B[1;31mAB", "AB", {{1, kBrightRed, 0}, {2, kBrightRed, 0}}},
        TLineCase{"BrightAfterColour", "\x1B[31;1mA", "A", {{1, kBrightRed, 0}}},
        TLineCase{"StarIntroducer", "*[32mX", "X", {{1, kGreen, 0}}},
        TLineCase{"DoubleStarIntroducer", "**[32mX", "X", {{1, kGreen, 0}}},
        TLineCase{"DoubleEscIntroducer", "\x1B\x1B[32mX", "X", {{1, kGreen, 0}}},
        TLineCase{"BoldAloneKeepsWhite", "\x1B[1mW", "W", {}},
        TLineCase{"BoldThenGreen", "\x1B[1m\x1B[32mG", "G", {{1, kBrightGreen, 0}}},
        TLineCase{"ZeroResets",
                  "\x1B[1;31mA\x1B[0mB\x1B[32mC",
                  "ABC",
                  {{1, kBrightRed, 0}, {3, kGreen, 0}}},
        TLineCase{"EmptyParameterResets",
                  "\x1B[31mA\x1B[mB*[32mC*[mD",
                  "ABCD",
                  {{1, kRed, 0}, {3, kGreen, 0}}},
        TLineCase{
            "ResetAtLineEndLeavesNoBytes", "\x1B[31mAB\x1B[m", "AB", {{1, kRed, 0}, {2, kRed, 0}}},
        TLineCase{"StarResetAtLineEnd", "*[31mA*[m", "A", {{1, kRed, 0}}},
        TLineCase{"IntroducerAtLineEnd", "AB\x1B[", "AB", {}},
        TLineCase{"Reverse", "\x1B[7mX", "X", {{1, 0, kWhite}}},
        TLineCase{"Conceal", "\x1B[42;8mX", "X", {{1, kGreen, kGreen}}},
        TLineCase{"BrightWhiteIsTheDefault", "\x1B[1;37mX", "X", {}},
        TLineCase{"LeadingZeros", "\x1B[01;031mX", "X", {{1, kBrightRed, 0}}},
        TLineCase{"DefaultForeground", "\x1B[31;44;39mX", "X", {{1, kWhite, 0x800000}}},
        TLineCase{"DefaultBackground", "\x1B[44;49mX", "X", {}},
        TLineCase{"UnknownCodesDoNothing", "\x1B[38;100;312;50mX", "X", {}},
        TLineCase{"BadParameterAloneIgnored", "\x1B[31;?5mX", "X", {{1, kRed, 0}}},
        TLineCase{"EraseScreenIsNoColour", "\x1B[2JHello mom", "Hello mom", {}},
        TLineCase{
            "CursorMovePlacesArt", "\x1B[31mA\x1B[5CB", "A     B", {{1, kRed, 0}, {7, kRed, 0}}},
        TLineCase{"CursorPositionPlaces", "\x1B[1;4HX", "   X", {}},
        TLineCase{"EraseLine", "\x1B[KX", "X", {}},
        TLineCase{"UnfinishedThenReset", "\x1B[1;33\x1B[mX", "X", {}},
        TLineCase{"UnfinishedStarThenStar", "*[1;31*[32mX", "X", {{1, kGreen, 0}}},
        TLineCase{"ControlByteEndsSequence", "\x1B[31\x01X", "\x01X", {}},
        TLineCase{"HighByteEndsSequence", "\x1B[31\xB0\xA1", "\xB0\xA1", {}},
        TLineCase{"MacroEscapeIsOneSequence", "\x1B*sX", "X", {}},
        TLineCase{"EscAndFinalIsOneSequence",
                  "A\x1B"
                  "BC",
                  "AC",
                  {}},
        TLineCase{"LoneEscDropped", "A\x1B\xB0\xA1\x1B", "A\xB0\xA1", {}},
        TLineCase{"StarIsText", "*Star* [x]", "*Star* [x]", {}},
        TLineCase{"HalfColouredCharacter", "\xB0\x1B[31m\xA1", "\xB0\xA1", {{2, kRed, 0}}},
        TLineCase{
            "WhiteOnBlackAfterColourIsUnmarked", "\x1B[31mA\x1B[37;1mB", "AB", {{1, kRed, 0}}},
        // Richer colour: 256 colours, 24-bit colour, normal intensity and reverse off.
        TLineCase{"PaletteCube", "\x1B[38;5;196mX", "X", {{1, 0x0000FF, 0}}},
        TLineCase{"PaletteBackground", "\x1B[48;5;21mX", "X", {{1, kWhite, 0xFF0000}}},
        TLineCase{"PaletteGrey", "\x1B[38;5;244mX", "X", {{1, 0x808080, 0}}},
        TLineCase{"PaletteLowSixteen", "\x1B[38;5;9mX", "X", {{1, kBrightRed, 0}}},
        TLineCase{"TrueColour", "\x1B[38;2;10;20;30mX", "X", {{1, 0x1E140A, 0}}},
        TLineCase{"TrueColourBackground", "*[48;2;255;128;0mX", "X", {{1, kWhite, 0x0080FF}}},
        TLineCase{"PaletteThenBold", "\x1B[38;5;2;1mX", "X", {{1, kBrightGreen, 0}}},
        TLineCase{"PaletteWithoutIndex", "\x1B[38;5mX", "X", {}},
        TLineCase{"PaletteIndexOutOfRange", "\x1B[38;5;256mX", "X", {}},
        TLineCase{"PaletteIndexNotANumber", "\x1B[38;5;1:2mX", "X", {}},
        TLineCase{"TrueColourCutShort", "\x1B[38;2;1;2mX", "X", {}},
        TLineCase{"TrueColourOutOfRange", "\x1B[38;2;300;0;0;31mX", "X", {{1, kRed, 0}}},
        TLineCase{"ThirtyEightAloneAsBefore", "\x1B[38;1;31mX", "X", {{1, kBrightRed, 0}}},
        TLineCase{"NormalIntensity", "\x1B[1;31;22mX", "X", {{1, kRed, 0}}},
        TLineCase{"NormalIntensityThenColour", "\x1B[1;22;32mX", "X", {{1, kGreen, 0}}},
        TLineCase{"NormalIntensityKeepsDefaultWhite", "\x1B[1;22mX", "X", {}},
        TLineCase{"ReverseOff", "\x1B[31;44;7;27mX", "X", {{1, kRed, 0x800000}}},
        TLineCase{"ReverseOffWithoutReverse", "\x1B[31;44;27mX", "X", {{1, kRed, 0x800000}}},
        TLineCase{"ReverseTwiceThenOff", "\x1B[31;7;7;27mX", "X", {{1, kRed, 0}}},
        // Blink and underline: attributes of their own, in the default colours too.
        TLineCase{"BlinkInDefaultColours", "\x1B[5mAB", "AB", {}, {{1, caBlink}, {2, caBlink}}},
        TLineCase{"RapidBlinkBlinks", "\x1B[6mA", "A", {}, {{1, caBlink}}},
        TLineCase{"BlinkWithColour",
                  "\x1B[1;5;33mA\x1B[25mB",
                  "AB",
                  {{1, 0x00FFFF, 0}, {2, 0x00FFFF, 0}},
                  {{1, caBlink}}},
        TLineCase{"UnderlineUntilOff", "\x1B[4mA\x1B[24mB", "AB", {}, {{1, caUnderline}}},
        TLineCase{
            "ResetEndsBoth", "\x1B[4;5mA\x1B[0mB\x1B[mC", "ABC", {}, {{1, caBlink | caUnderline}}},
        TLineCase{"AttributesSurviveColourChange",
                  "\x1B[4m\x1B[31mA\x1B[39mB",
                  "AB",
                  {{1, kRed, 0}},
                  {{1, caUnderline}, {2, caUnderline}}}),
    [](const auto& info) { return info.param.Name; });

class TextReaderTest : public testing::Test {
protected:
    Tabc Load(const std::string& bytes) {
        Tabc doc;
        EXPECT_TRUE(doc.LoadFile(Dir.Write("a.txt", bytes)));
        EXPECT_EQ(doc.FKind, dkText);
        return doc;
    }
    TTempFolder Dir;
};

TEST_F(TextReaderTest, PlainFileIsUncolouredText) {
    Tabc doc = Load("one\r\ntwo longer\nthree\r\n");
    EXPECT_FALSE(doc.FHasEscapes);
    EXPECT_FALSE(doc.FWideCells);
    EXPECT_EQ(doc.FLines, (std::vector<std::string>{"one", "two longer", "three"}));
    EXPECT_EQ(doc.FRowCount, 3);
    EXPECT_EQ(doc.FColCount, 10);
    EXPECT_EQ(doc.FTextPath, doc.FSourcePath);
    EXPECT_TRUE(doc.FColorPath.empty());
}

TEST_F(TextReaderTest, EmptyFileHasNoRowsAndOneColumn) {
    Tabc doc = Load("");
    EXPECT_EQ(doc.FRowCount, 0);
    EXPECT_EQ(doc.FColCount, 1);
    EXPECT_TRUE(doc.FLines.empty());
}

TEST_F(TextReaderTest, ColoursRunOnAcrossLines) {
    Tabc doc = Load("\x1B[31mA\r\nB\r\n\x1B[0mC\r\n");
    EXPECT_TRUE(doc.FHasEscapes);
    EXPECT_TRUE(doc.FMarked[1][1]);
    EXPECT_EQ(doc.FCells[1][1].Fg, kRed);
    EXPECT_FALSE(doc.FMarked[2][1]);
}

TEST_F(TextReaderTest, OpenSequenceContinuesOnTheNextLine) {
    Tabc doc = Load("A\x1B[1;\r\n31mX\r\n");
    EXPECT_EQ(doc.FLines, (std::vector<std::string>{"A", "X"}));
    EXPECT_FALSE(doc.FMarked[0][1]);
    EXPECT_TRUE(doc.FMarked[1][1]);
    EXPECT_EQ(doc.FCells[1][1].Fg, kBrightRed);
}

TEST_F(TextReaderTest, LongRowKeepsItsBytesButOnly200Cells) {
    const std::string row = "\x1B[31m" + std::string(210, 'a') + "\x1B[32m" + std::string(40, 'b');
    Tabc doc = Load(row + "\r\n");
    ASSERT_EQ(doc.FLines[0], std::string(210, 'a') + std::string(40, 'b'));
    EXPECT_EQ(doc.FColCount, 250);
    EXPECT_TRUE(doc.FMarked[0][200]);
    EXPECT_EQ(doc.FCells[0][200].Fg, kRed);
}

TEST_F(TextReaderTest, EveryRowOfThePictureIsColoured) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "\x1B[3" + std::to_string(1 + i % 2) + "mrow\r\n";
    Tabc doc = Load(text);
    EXPECT_EQ(doc.FRowCount, 300);
    ASSERT_EQ(doc.FMarked.size(), 300u);
    EXPECT_TRUE(doc.FMarked[299][1]);
    EXPECT_EQ(doc.FCells[299][1].Fg, 0x008000);
}

TEST_F(TextReaderTest, LinesPastThePictureLoseTheirSequencesButColourNothing) {
    std::string text;
    for (int i = 0; i < 600; ++i)
        text +=
            (i < 553 ? "\x1B[31mrow" : "\x1B[32mlonger row beyond " + std::to_string(i)) + "\r\n";
    TRecordingSink sink;
    Tabc doc;
    doc.SetMessageSink(&sink);
    ASSERT_TRUE(doc.LoadFile(Dir.Write("long.txt", text)));
    EXPECT_EQ(doc.FRowCount, 553);
    EXPECT_EQ(doc.FColCount, 3);
    EXPECT_EQ(doc.FMarked.size(), 553u);
    ASSERT_EQ(doc.FLines.size(), 600u);
    EXPECT_EQ(doc.FLines[599], "longer row beyond 599");
    for (const std::string& line : doc.FLines) EXPECT_EQ(line.find('\x1B'), std::string::npos);
    // Told once that the picture ends there.
    EXPECT_TRUE(sink.Messages.empty());
    ASSERT_EQ(sink.Notices.size(), 1u);
    EXPECT_NE(sink.Notices[0].find("600 lines"), std::string::npos) << sink.Notices[0];
    EXPECT_NE(sink.Notices[0].find("553"), std::string::npos) << sink.Notices[0];
}

TEST_F(TextReaderTest, ReloadAfterAnOpenSequenceShowsTheSameText) {
    const std::string path = Dir.Write("open.txt", "Hello\r\nend\x1B[1;");
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(path));
    const std::vector<std::string> first = doc.FLines;
    ASSERT_TRUE(doc.LoadFile(path));
    EXPECT_EQ(doc.FLines, first);
    EXPECT_EQ(doc.FLines[0], "Hello");
}

TEST_F(TextReaderTest, UnreadableFileFailsAndKeepsTheLines) {
    Tabc doc = Load("keep\r\n");
    EXPECT_FALSE(doc.LoadText(Dir.Path() + "missing.txt"));
    EXPECT_EQ(doc.FLines, std::vector<std::string>{"keep"});
}

}  // namespace
}  // namespace morvane
