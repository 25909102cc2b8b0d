#include "document/bbstext.h"

#include <gtest/gtest.h>

#include "document/textlines.h"

namespace morvane {
namespace {

// Copied as BBS text and pasted back through the reader, art keeps its text and its colours.
void ExpectSameArt(const Tabc& original, const Tabc& pasted) {
    ASSERT_EQ(pasted.FLines, original.FLines);
    ASSERT_EQ(pasted.FMarked.size(), original.FMarked.size());
    for (size_t r = 0; r < original.FMarked.size(); ++r) {
        for (int c = 1; c <= Tabc::kMaxCols; ++c) {
            const bool coloured =
                original.FMarked[r][c] && (original.FCells[r][c].Fg != original.FDefaultFg ||
                                           original.FCells[r][c].Bg != original.FDefaultBg);
            ASSERT_EQ(pasted.FMarked[r][c], coloured) << r << "," << c;
            EXPECT_EQ(pasted.CellAttr(static_cast<int>(r), c),
                      original.CellAttr(static_cast<int>(r), c))
                << r << "," << c;
            if (!coloured) continue;
            EXPECT_EQ(pasted.FCells[r][c].Fg, original.FCells[r][c].Fg) << r << "," << c;
            EXPECT_EQ(pasted.FCells[r][c].Bg, original.FCells[r][c].Bg) << r << "," << c;
        }
    }
}

Tabc Pasted(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    Tabc doc;
    doc.ParseText(text);
    return doc;
}

TEST(BbsTextTest, ColoursAreWrittenWhereTheyChange) {
    Tabc doc;
    doc.ParseText("\x1B[1;31mAB\x1B[0m C\x1B[44mD\r\nplain\r\n");
    // The background runs on into the next line, so that line says so itself.
    EXPECT_EQ(BbsTextLines(doc),
              (std::vector<std::string>{"*[0;1;31mAB*[0m C*[0;44mD*[0m", "*[0;44mplain*[0m"}));
}

TEST(BbsTextTest, PastedArtReloadsToTheSameGrid) {
    Tabc doc;
    doc.ParseText(
        "\x1B[1;33;44m\xD6\xD0\x1B[32m\xCE\x1B[0;7m\xC4 \x1B[38;5;208;48;2;1;2;3mrich\r\n"
        "*[35mnext line keeps it\x1B[m\r\n"
        "\x1B[37m\xA9\xB0 grey \x1B[1mbright\r\n");
    ExpectSameArt(doc, Pasted(BbsTextLines(doc)));
}

TEST(BbsTextTest, BlinkAndUnderlineAreWrittenAndReadBack) {
    Tabc doc;
    doc.ParseText("\x1B[5;31mAB\x1B[4mC\x1B[0;4mD\x1B[mE\r\n");
    EXPECT_EQ(BbsTextLines(doc), (std::vector<std::string>{"*[0;31;5mAB*[0;31;4;5mC*[0;4mD*[0mE"}));
    ExpectSameArt(doc, Pasted(BbsTextLines(doc)));
}

TEST(BbsTextTest, Utf8ArtGoesCharacterByCharacter) {
    // "中" takes cells 2 and 3: the colour of "b" in cell 4 starts after it.
    Tabc doc;
    doc.ParseText("a\xE4\xB8\xAD\x1B[32mb\x1B[m\r\n");
    ASSERT_EQ(doc.FEncoding, TEncoding::Utf8);
    EXPECT_EQ(BbsTextLines(doc, true), std::vector<std::string>{"a\xE4\xB8\xAD*[0;32mb*[0m"});
    ExpectSameArt(doc, Pasted(BbsTextLines(doc, true)));
}

TEST(BbsTextTest, ColourFileCellsOfEveryKindRoundTrip) {
    Tabc doc;
    doc.FWideCells = false;
    doc.FLines = {"abcdef", "gh"};
    doc.FRowCount = 2;
    doc.FColCount = 6;
    doc.SizeGrid(2);
    const TCellColors cells[] = {{0x123456, 0},
                                 {0xFFFFFF, 0x654321},
                                 {0x0000FF, 0x008000},
                                 {0x808080, 0xC0C0C0},
                                 {0xFFFFFF, 0}};
    for (int c = 1; c <= 5; ++c) {
        doc.FMarked[0][c] = true;
        doc.FCells[0][c] = cells[c - 1];
    }
    ExpectSameArt(doc, Pasted(BbsTextLines(doc)));
}

// Text bound for Unicode cannot split a character, so its first half's colours go to both halves.
TEST(BbsTextTest, HalfColouredCharacterStaysWholeWhenAsked) {
    Tabc doc;
    doc.ParseText("\x1B[31m\xD6\x1B[32m\xD0\x1B[0m\xCE\xC4\x1B[33mx\x1B[34my\r\n");
    EXPECT_EQ(BbsTextLines(doc),
              std::vector<std::string>{"*[0;31m\xD6*[0;32m\xD0*[0m\xCE\xC4*[0;33mx*[0;34my*[0m"});
    EXPECT_EQ(BbsTextLines(doc, true),
              std::vector<std::string>{"*[0;31m\xD6\xD0*[0m\xCE\xC4*[0;33mx*[0;34my*[0m"});
}

// A star of the text just before a sequence must not be read as part of it.
TEST(BbsTextTest, StarBeforeAColourChangeStaysText) {
    Tabc doc;
    doc.ParseText("a*\x1B[31m*b*\x1B[m*\r\n\x1B[32m**\r\n");
    const std::vector<std::string> lines = BbsTextLines(doc);
    EXPECT_EQ(lines, (std::vector<std::string>{"a***[0;31m*b***[0m*", "*[0;32m****[0m"}));
    ExpectSameArt(doc, Pasted(lines));
}

TEST(BbsTextTest, WideCellsColourBothTheirBytes) {
    Tabc doc;
    doc.FWideCells = true;
    doc.FLines = {"\xD6\xD0xy"};
    doc.FRowCount = 1;
    doc.FColCount = 4;
    doc.SizeGrid(1);
    doc.FMarked[0][1] = true;
    doc.FCells[0][1] = {0x0000FF, 0};
    EXPECT_EQ(BbsTextLines(doc), std::vector<std::string>{"*[0;1;31m\xD6\xD0*[0mxy"});
}

}  // namespace
}  // namespace morvane
