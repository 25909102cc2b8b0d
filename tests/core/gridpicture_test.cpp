#include "display/raster/gridpicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "display/raster/cellfont.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

// Document colours are 0x00BBGGRR, picture pixels 0xFFRRGGBB.
constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kYellow = 0x00FFFF;
constexpr std::uint32_t kRedPixel = 0xFFFF0000;
constexpr std::uint32_t kGreenPixel = 0xFF00FF00;
constexpr std::uint32_t kBluePixel = 0xFF0000FF;
constexpr std::uint32_t kYellowPixel = 0xFFFFFF00;
constexpr std::uint32_t kWhitePixel = 0xFFFFFFFF;
constexpr std::uint32_t kBlackPixel = 0xFF000000;

// GBK bytes of characters with a simple shape.
const std::string kFullBlock = "\xA8\x80";      // U+2588, every pixel set
const std::string kLowerEighth = "\xA8\x78";    // U+2581, the two bottom rows
const std::string kBlackTriangle = "\xA8\x8D";  // U+25E2, a GBK-only symbol
const std::string kHorizontalBar = "\xA8\x44";  // U+2015, missing from the Song font
const std::string kDoubleLine = "\xA8\x54";     // U+2550

using TPixels = std::set<std::uint32_t>;

struct TMark {
    int Col;
    TColor Fg;
    TColor Bg;
};

// The colours found in a rectangle of the picture.
TPixels ColoursIn(const TPixelBuffer& picture, int x, int y, int width, int height) {
    TPixels found;
    for (int row = y; row < y + height; ++row) {
        for (int col = x; col < x + width; ++col) {
            found.insert(picture.Pixels[static_cast<std::size_t>(row) * picture.Width + col]);
        }
    }
    return found;
}

// A one-row-per-line document as wide as its longest line, cells unmarked.
void SetLines(Tabc& doc, const std::vector<std::string>& lines, bool wide = false) {
    doc.Reset();
    doc.FWideCells = wide;
    doc.FLines = lines;
    doc.FRowCount = static_cast<int>(lines.size());
    doc.SizeGrid(doc.FRowCount);
    doc.FColCount = 1;
    for (const std::string& line : lines) {
        doc.FColCount = std::max(doc.FColCount, static_cast<int>(line.size()));
    }
}

void Mark(Tabc& doc, int row, const TMark& mark) {
    doc.FMarked[row][mark.Col] = true;
    doc.FCells[row][mark.Col] = {mark.Fg, mark.Bg};
}

struct TByteCase {
    const char* Name;
    std::string Line;
    bool Wide;
    std::vector<TMark> Marks;
    int Byte;  // from 0: the 8-pixel column checked
    TPixels Expected;
};

void PrintTo(const TByteCase& c, std::ostream* os) { *os << c.Name; }

// Which colours one byte's 8 x 16 column shows after the default pass and the coloured runs.
class ByteColoursTest : public testing::TestWithParam<TByteCase> {};

TEST_P(ByteColoursTest, ShowsTheColoursOfItsCell) {
    const TByteCase& c = GetParam();
    Tabc doc;
    SetLines(doc, {c.Line}, c.Wide);
    for (const TMark& mark : c.Marks) Mark(doc, 0, mark);
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(ColoursIn(picture, 8 * c.Byte, 0, 8, 16), c.Expected);
}

std::vector<TMark> EveryCell(int count, TColor fg, TColor bg) {
    std::vector<TMark> marks;
    for (int col = 1; col <= count; ++col) marks.push_back({col, fg, bg});
    return marks;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ByteColoursTest,
    testing::Values(
        TByteCase{"UnmarkedCellShowsDefaults", "A", false, {}, 0, {kWhitePixel, kBlackPixel}},
        TByteCase{"MarkedCellShowsItsColours", "A", false, {{1, kRed, kBlue}}, 0,
                  {kRedPixel, kBluePixel}},
        TByteCase{"MarkedSpaceShowsItsBackground", "A ", false, {{2, kRed, kBlue}}, 1,
                  {kBluePixel}},
        TByteCase{"ByteAfterTheRunKeepsDefaults", "AA", false, {{1, kRed, kBlue}}, 1,
                  {kWhitePixel, kBlackPixel}},
        TByteCase{"ControlByteIsBlank", "\x01", false, {{1, kRed, kBlue}}, 0, {kBluePixel}},
        TByteCase{"DeleteByteIsBlank", "\x7F", false, {{1, kRed, kBlue}}, 0, {kBluePixel}},
        TByteCase{"LeadByteBeforeANonTrailIsBlank", "\xB0" "0", false, {{1, kRed, kBlue}}, 0,
                  {kBluePixel}},
        TByteCase{"ByteFFIsBlank", "\xFF\xA1", false, {{1, kRed, kBlue}}, 0, {kBluePixel}},
        TByteCase{"LeadByteAtLineEndIsBlank", "A\xB0", false, {{2, kRed, kBlue}}, 1,
                  {kBluePixel}},
        TByteCase{"WideCellColoursItsFirstByte", "AB", true, {{1, kRed, kBlue}}, 0,
                  {kRedPixel, kBluePixel}},
        TByteCase{"WideCellColoursItsSecondByte", "AB", true, {{1, kRed, kBlue}}, 1,
                  {kRedPixel, kBluePixel}},
        TByteCase{"SecondWideCellStartsAtByteThree", "AAA ", true, {{2, kRed, kBlue}}, 3,
                  {kBluePixel}},
        TByteCase{"ThreeByteWideLineHasTwoCells", "AAA", true, {{2, kRed, kBlue}}, 2,
                  {kRedPixel, kBluePixel}},
        TByteCase{"OddWideLineLastByteJoinsAnEqualRun", "AAAAA", true,
                  {{2, kRed, kBlue}, {3, kRed, kBlue}}, 4, {kRedPixel, kBluePixel}},
        TByteCase{"OddWideLineLastByteStartsNoRun", "AAAAA", true,
                  {{2, kRed, kBlue}, {3, kGreen, kBlue}}, 4, {kWhitePixel, kBlackPixel}},
        TByteCase{"ByteAfterCell200KeepsDefaults", std::string(201, 'A'), false,
                  EveryCell(200, kRed, kBlue), 200, {kWhitePixel, kBlackPixel}},
        TByteCase{"Cell200IsColoured", std::string(201, 'A'), false, EveryCell(200, kRed, kBlue),
                  199, {kRedPixel, kBluePixel}},
        TByteCase{"WholeCharacterInOneColour", kFullBlock, false,
                  {{1, kRed, kBlue}, {2, kRed, kBlue}}, 1, {kRedPixel}},
        TByteCase{"HalfColouredCharacterLeftHalf", kFullBlock, false,
                  {{1, kRed, kBlue}, {2, kGreen, kBlue}}, 0, {kRedPixel}},
        TByteCase{"HalfColouredCharacterRightHalf", kFullBlock, false,
                  {{1, kRed, kBlue}, {2, kGreen, kBlue}}, 1, {kGreenPixel}},
        TByteCase{"RunFromATrailByteColoursOnlyThatHalf", "A" + kFullBlock, false,
                  {{3, kRed, kBlue}}, 1, {kWhitePixel}},
        TByteCase{"RunFromATrailByteDrawsTheWholeCharacter", "A" + kFullBlock, false,
                  {{3, kRed, kBlue}}, 2, {kRedPixel}}),
    [](const testing::TestParamInfo<TByteCase>& info) { return info.param.Name; });

TEST(GridPictureTest, UnmarkedCellsAndTheRestOfTheRowUseTheDocumentDefaults) {
    Tabc doc;
    SetLines(doc, {"A"});
    doc.FColCount = 3;
    doc.FDefaultFg = kYellow;
    doc.FDefaultBg = kBlue;
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(ColoursIn(picture, 0, 0, 8, 16), (TPixels{kYellowPixel, kBluePixel}));
    EXPECT_EQ(ColoursIn(picture, 8, 0, 16, 16), TPixels{kBluePixel});
}

TEST(GridPictureTest, HalfColouredCharacterKeepsEachHalfsBackground) {
    Tabc doc;
    SetLines(doc, {kLowerEighth});
    Mark(doc, 0, {1, kRed, kBlue});
    Mark(doc, 0, {2, kGreen, kYellow});
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(ColoursIn(picture, 0, 0, 8, 14), TPixels{kBluePixel});
    EXPECT_EQ(ColoursIn(picture, 0, 14, 8, 2), TPixels{kRedPixel});
    EXPECT_EQ(ColoursIn(picture, 8, 0, 8, 14), TPixels{kYellowPixel});
    EXPECT_EQ(ColoursIn(picture, 8, 14, 8, 2), TPixels{kGreenPixel});
}

// Pixel-exact shapes: the Song font's baseline, its GBK symbols, and the fallbacks.
TEST(GridPictureTest, DoubleByteGlyphsFillTheirSixteenPixelCell) {
    Tabc doc;
    SetLines(doc, {kBlackTriangle + kHorizontalBar});
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    auto at = [&](int x, int y) { return picture.Pixels[y * picture.Width + x]; };
    EXPECT_EQ(at(15, 0), kWhitePixel);
    EXPECT_EQ(at(0, 0), kBlackPixel);
    EXPECT_EQ(ColoursIn(picture, 0, 15, 16, 1), TPixels{kWhitePixel});
    // The bar comes from the 8-pixel font, centred in the 16-pixel cell.
    EXPECT_EQ(ColoursIn(picture, 16, 0, 4, 16), TPixels{kBlackPixel});
    EXPECT_EQ(ColoursIn(picture, 28, 0, 4, 16), TPixels{kBlackPixel});
    EXPECT_EQ(ColoursIn(picture, 20, 0, 8, 16), (TPixels{kWhitePixel, kBlackPixel}));
}

TEST(GridPictureTest, HalfWidthBoxDrawingIsStretchedSoLinesJoin) {
    // With the 8-pixel font in both roles, every box-drawing glyph is a half-width one.
    TCellFont font(TCellFont::kUnifontPath, TCellFont::kUnifontPath);
    Tabc doc;
    SetLines(doc, {kDoubleLine + kDoubleLine});
    TPixelBuffer picture;
    RenderGridPicture(doc, font, picture);
    int lineRows = 0;
    for (int y = 0; y < 16; ++y) {
        TPixels row = ColoursIn(picture, 0, y, 32, 1);
        if (row.count(kWhitePixel)) {
            EXPECT_EQ(row, TPixels{kWhitePixel}) << "row " << y;
            ++lineRows;
        }
    }
    EXPECT_EQ(lineRows, 2);
}

struct TSizeCase {
    const char* Name;
    int ColCount;
    int RowCount;
    int Width;
    int Height;
};

void PrintTo(const TSizeCase& c, std::ostream* os) { *os << c.Name; }

class PictureSizeTest : public testing::TestWithParam<TSizeCase> {};

TEST_P(PictureSizeTest, IsTheDocumentsCellsClippedToTheSurface) {
    Tabc doc;
    doc.FColCount = GetParam().ColCount;
    doc.FRowCount = GetParam().RowCount;
    doc.FLines.assign(doc.FRowCount, std::string(doc.FColCount, 'A'));
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(picture.Width, GetParam().Width);
    EXPECT_EQ(picture.Height, GetParam().Height);
    EXPECT_EQ(picture.Pixels.size(), static_cast<std::size_t>(picture.Width) * picture.Height);
}

INSTANTIATE_TEST_SUITE_P(Documents, PictureSizeTest,
                         testing::Values(TSizeCase{"Screen", 80, 24, 640, 384},
                                         TSizeCase{"FullGrid", 200, 80, 1600, 1280},
                                         TSizeCase{"TallBoard", 80, 300, 640, 4800},
                                         TSizeCase{"AsTallAsAPicture", 80, 553, 640, 8848},
                                         TSizeCase{"WiderThanTheSurface", 300, 2, 2048, 32},
                                         TSizeCase{"NoColumns", 0, 5, 0, 80},
                                         TSizeCase{"NoRows", 5, 0, 40, 0}),
                         [](const testing::TestParamInfo<TSizeCase>& info) {
                             return info.param.Name;
                         });

TEST(GridPictureTest, SmallerPictureReleasesTheLargerOnesMemory) {
    Tabc doc;
    SetLines(doc, std::vector<std::string>(80, std::string(200, 'A')));
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    SetLines(doc, {"A"});
    RenderGridPicture(doc, picture);
    EXPECT_EQ(picture.Pixels.capacity(), 8u * 16u);
}

TEST(GridPictureTest, RowsPastTheEightiethAreColoured) {
    Tabc doc;
    SetLines(doc, std::vector<std::string>(300, "A"));
    Mark(doc, 299, {1, 0x0000FF, 0x800000});
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    ASSERT_EQ(picture.Height, 4800);
    EXPECT_EQ(ColoursIn(picture, 0, 299 * 16, 8, 16), (TPixels{0xFF000080u, 0xFFFF0000u}));
}

TEST(GridPictureTest, RowsWithoutLinesAreBlank) {
    Tabc doc;
    SetLines(doc, {"A"});
    doc.FRowCount = 3;
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(ColoursIn(picture, 0, 16, 8, 32), TPixels{kBlackPixel});
}

TEST(CellFontTest, UnusableFontFileIsAnErrorNamingIt) {
    test::TTempFolder dir;
    const std::string notAFont = dir.Write("notafont.pcf", "just text");
    const std::string missing = dir.Path() + "missing.pcf";
    for (const std::string& path : {notAFont, missing}) {
        try {
            TCellFont font(TCellFont::kUnifontPath, path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const EFileError& error) {
            EXPECT_NE(std::string(error.what()).find("\"" + path + "\""), std::string::npos)
                << error.what();
        }
    }
}

// Real bulletin-board art, ANSI-coloured GB2312/GBK text with broken bytes and all.
TEST(GridPictureTest, EveryRealArtFileDraws) {
    const char* chosen = std::getenv("MORVANE_REALART");
    const std::string folder = std::string(chosen && *chosen ? chosen : MORVANE_REALART) + "/gb";
    if (!std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no real art: " << folder
                     << " is not here (the shared folder beside the checkout)";
    int drawn = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(entry.path().string());
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(entry.path().string()));
        TPixelBuffer picture;
        RenderGridPicture(doc, picture);
        EXPECT_EQ(picture.Width, std::min(doc.FColCount * 8, kPictureMaxWidth));
        EXPECT_EQ(picture.Height, doc.FRowCount * 16);
        EXPECT_GT(ColoursIn(picture, 0, 0, picture.Width, picture.Height).size(), 1u);
        ++drawn;
    }
    EXPECT_GT(drawn, 0);
}

}  // namespace
}  // namespace morvane
