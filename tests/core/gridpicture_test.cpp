#include "display/raster/gridpicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
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

// Big5 text draws each character as the GB text of the same characters does: "中" (Big5 A4A4,
// GB D6D0), then a shade from the Taiwanese boards' extension (Big5 F9FE, GB A888).
TEST(GridPictureTest, Big5CharactersDrawAsTheirGbTwins) {
    Tabc big5;
    SetLines(big5, {"\xA4\xA4\xF9\xFE"});
    big5.FEncoding = TEncoding::Big5;
    Tabc gb;
    SetLines(gb, {"\xD6\xD0\xA8\x88"});
    TPixelBuffer big5Picture, gbPicture;
    RenderGridPicture(big5, big5Picture);
    RenderGridPicture(gb, gbPicture);
    ASSERT_EQ(big5Picture.Width, 32);
    EXPECT_TRUE(std::equal(big5Picture.Pixels.begin(), big5Picture.Pixels.end(),
                           gbPicture.Pixels.begin(), gbPicture.Pixels.end()));
    // Known pixels of 中: its vertical stroke down the middle, blank corners.
    auto at = [&](int x, int y) { return big5Picture.Pixels[y * big5Picture.Width + x]; };
    for (int y : {1, 8, 13}) EXPECT_EQ(ColoursIn(big5Picture, 7, y, 2, 1).count(kWhitePixel), 1u);
    EXPECT_EQ(at(0, 0), kBlackPixel);
    EXPECT_EQ(at(15, 15), kBlackPixel);
    // The same bytes read as GB are other characters.
    big5.FEncoding = TEncoding::Gb;
    RenderGridPicture(big5, gbPicture);
    EXPECT_FALSE(std::equal(big5Picture.Pixels.begin(), big5Picture.Pixels.end(),
                            gbPicture.Pixels.begin(), gbPicture.Pixels.end()));
}

// Every character that both sets hold has one glyph, whichever set's bytes name it.
TEST(CellFontTest, Big5AndGbPairsOfOneCharacterShareTheirGlyph) {
    TCellFont& font = TCellFont::Shared();
    std::map<char32_t, std::pair<std::uint8_t, std::uint8_t>> gbPairs;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char32_t c = PairToUnicode(TEncoding::Gb, lead, trail);
            if (c) gbPairs.emplace(c, std::make_pair(lead, trail));
        }
    }
    int shared = 0;
    int differences = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const auto gb = gbPairs.find(PairToUnicode(TEncoding::Big5, lead, trail));
            if (gb == gbPairs.end()) continue;
            ++shared;
            differences += font.Wide(TEncoding::Big5, lead, trail) !=
                           font.Wide(TEncoding::Gb, gb->second.first, gb->second.second);
        }
    }
    EXPECT_GT(shared, 13000);
    EXPECT_EQ(differences, 0);
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

struct TCharacterCount {
    int Characters = 0;
    int Blank = 0;
    // Pairs in the rows of Chinese characters (not of symbols, shapes or kana).
    int Hanzi = 0;
};

// The double-byte characters of the rows, and those of them that draw blank in encoding: an
// ideographic space is meant to, a pair no character set maps (a board's own symbol) has
// nothing to draw, and the fonts hold no character past the first plane.
TCharacterCount CountCharacters(const Tabc& doc, TEncoding encoding) {
    TCellFont& font = TCellFont::Shared();
    TCharacterCount count;
    for (int row = 0; row < doc.FRowCount; ++row) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(doc.FLines[row].data());
        const size_t length = doc.FLines[row].size();
        for (size_t i = 0; i + 1 < length; ++i) {
            if (!IsDoubleBytePair(bytes[i], bytes[i + 1])) continue;
            ++count.Characters;
            const char32_t c = PairToUnicode(encoding, bytes[i], bytes[i + 1]);
            count.Blank += font.Wide(encoding, bytes[i], bytes[i + 1]) == TGlyphMask{} &&
                           c != U'\u3000' && c != 0 && c <= 0xFFFF;
            count.Hanzi += c >= 0x4E00 && c <= 0x9FFF;
            ++i;
        }
    }
    return count;
}

// Taiwanese boards' art draws every character in Big5; read as GB, the Chinese of most of it
// draws blank (art of symbols alone draws in both).
TEST(GridPictureTest, Big5RealArtDrawsItsCharacters) {
    const char* override = std::getenv("MORVANE_REALART");
    const std::string folder = std::string(override && *override ? override : MORVANE_REALART) +
                               "/big5";
    if (!std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "no real art: " << folder << " is missing (set MORVANE_REALART)";
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(entry.path().string()));
        ASSERT_EQ(doc.FEncoding, TEncoding::Big5);
        const TCharacterCount big5 = CountCharacters(doc, TEncoding::Big5);
        const TCharacterCount gb = CountCharacters(doc, TEncoding::Gb);
        EXPECT_GT(big5.Characters, 0);
        EXPECT_EQ(big5.Blank, 0);
        if (big5.Hanzi > 10) {
            EXPECT_GT(gb.Blank, 0);
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

// The rows of one cell's 8 x 16 column that hold ink of colour, as a bit set (bit 0 the top).
std::uint32_t InkRows(const TPixelBuffer& picture, int cell, std::uint32_t colour) {
    std::uint32_t rows = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = cell * 8; x < cell * 8 + 8; ++x)
            if (picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x] == colour)
                rows |= 1u << y;
    }
    return rows;
}

TEST(GridPictureTest, UnderlineIsTheBottomPixelRowInTheTextColour) {
    Tabc doc;
    SetLines(doc, {"_A A"});
    Mark(doc, 0, {2, kRed, 0});
    doc.SetCellAttr(0, 2, caUnderline);
    doc.SetCellAttr(0, 3, caUnderline);
    TPixelBuffer picture;
    RenderGridPicture(doc, picture);
    EXPECT_EQ(ColoursIn(picture, 8, 15, 8, 1), TPixels{kRedPixel});
    EXPECT_EQ(ColoursIn(picture, 16, 15, 8, 1), TPixels{kWhitePixel});
    EXPECT_EQ(ColoursIn(picture, 24, 15, 8, 1), TPixels{kBlackPixel});
    // The glyph above the line is the same as without it.
    EXPECT_EQ(InkRows(picture, 1, kRedPixel) & 0x7FFF, InkRows(picture, 3, kWhitePixel) & 0x7FFF);
}

TEST(GridPictureTest, HiddenPhaseDrawsBlinkingCellsInTheirBackground) {
    Tabc doc;
    SetLines(doc, {"AB"});
    Mark(doc, 0, {1, kYellow, kBlue});
    doc.SetCellAttr(0, 1, caBlink | caUnderline);
    doc.FBlinks = true;
    TPixelBuffer shown;
    TPixelBuffer hidden;
    RenderGridPicture(doc, shown);
    RenderGridPicture(doc, hidden, TBlinkPhase::Hidden);
    EXPECT_EQ(ColoursIn(shown, 0, 0, 8, 16), (TPixels{kYellowPixel, kBluePixel}));
    EXPECT_EQ(ColoursIn(hidden, 0, 0, 8, 16), TPixels{kBluePixel});
    EXPECT_EQ(ColoursIn(hidden, 8, 0, 8, 16), ColoursIn(shown, 8, 0, 8, 16));

    // Redrawing the blinking rows of one phase gives the other.
    TCellFont& font = TCellFont::Shared();
    RedrawBlinkingRows(doc, font, shown, TBlinkPhase::Hidden);
    EXPECT_EQ(shown.Pixels, hidden.Pixels);
}

struct TAreaCase {
    const char* Name;
    std::vector<std::pair<int, int>> Blinking;  // (row, col)
    int Width;
    int Height;
    int Left, Top, AreaWidth, AreaHeight;
};

void PrintTo(const TAreaCase& c, std::ostream* os) { *os << c.Name; }

class BlinkingAreaTest : public testing::TestWithParam<TAreaCase> {};

TEST_P(BlinkingAreaTest, HoldsEveryBlinkingCellWithinThePicture) {
    Tabc doc;
    SetLines(doc, std::vector<std::string>(4, std::string(10, 'x')));
    for (auto [row, col] : GetParam().Blinking) doc.SetCellAttr(row, col, caBlink);
    const TPixelRect area = BlinkingArea(doc, GetParam().Width, GetParam().Height);
    EXPECT_EQ(area.Left, GetParam().Left);
    EXPECT_EQ(area.Top, GetParam().Top);
    EXPECT_EQ(area.Width, GetParam().AreaWidth);
    EXPECT_EQ(area.Height, GetParam().AreaHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, BlinkingAreaTest,
    testing::Values(TAreaCase{"None", {}, 80, 64, 0, 0, 0, 0},
                    TAreaCase{"OneCell", {{1, 3}}, 80, 64, 16, 16, 8, 16},
                    TAreaCase{"Spread", {{0, 9}, {3, 2}}, 80, 64, 8, 0, 64, 64},
                    TAreaCase{"ClippedByThePicture", {{1, 2}, {3, 10}}, 40, 40, 8, 16, 32, 24},
                    TAreaCase{"OutsideThePicture", {{3, 10}}, 40, 40, 0, 0, 0, 0}),
    [](const auto& info) { return info.param.Name; });

TEST(GridPictureTest, Utf8CharactersTakeTheCellsOfTheirWidth) {
    // "a中b": the CJK character covers cells 2 and 3 and draws as its GB twin.
    Tabc utf8;
    SetLines(utf8, {"a\xE4\xB8\xAD"
                    "b"});
    utf8.FEncoding = TEncoding::Utf8;
    utf8.FColCount = 4;
    Mark(utf8, 0, {3, kRed, 0});
    Tabc gb;
    SetLines(gb, {"a\xD6\xD0"
                  "b"});
    Mark(gb, 0, {3, kRed, 0});
    TPixelBuffer utf8Picture;
    TPixelBuffer gbPicture;
    RenderGridPicture(utf8, utf8Picture);
    RenderGridPicture(gb, gbPicture);
    EXPECT_EQ(utf8Picture.Width, 32);
    EXPECT_EQ(utf8Picture.Pixels, gbPicture.Pixels);
}

std::string RealArtFile(const std::string& name) {
    const char* chosen = std::getenv("MORVANE_REALART");
    return std::string(chosen && *chosen ? chosen : MORVANE_REALART) + "/" + name;
}

// A Taiwanese board's help screen blinks its headings; a song screen underlines its lines.
TEST(GridPictureTest, RealArtBlinksAndUnderlines) {
    const std::string blinking = RealArtFile("big5/ptt__pttbbs__sample__etc__angel_usage2.txt");
    const std::string underlined =
        RealArtFile("big5/xeonchen__maplebbs-itoc__ktv__2__A0R6FND2.txt");
    if (!std::filesystem::exists(blinking) || !std::filesystem::exists(underlined))
        GTEST_SKIP() << "no real art: " << blinking << " is missing (set MORVANE_REALART)";
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(blinking));
    ASSERT_TRUE(doc.FBlinks);
    TPixelBuffer shown;
    TPixelBuffer hidden;
    RenderGridPicture(doc, shown);
    RenderGridPicture(doc, hidden, TBlinkPhase::Hidden);
    const TPixelRect area = BlinkingArea(doc, shown.Width, shown.Height);
    ASSERT_GT(area.Width, 0);
    size_t differing = 0;
    for (size_t i = 0; i < shown.Pixels.size(); ++i) {
        if (shown.Pixels[i] == hidden.Pixels[i]) continue;
        ++differing;
        const int x = static_cast<int>(i % shown.Width);
        const int y = static_cast<int>(i / shown.Width);
        EXPECT_TRUE(x >= area.Left && x < area.Left + area.Width && y >= area.Top &&
                    y < area.Top + area.Height)
            << x << "," << y;
    }
    EXPECT_GT(differing, 0u);

    ASSERT_TRUE(doc.LoadFile(underlined));
    int underlinedCells = 0;
    RenderGridPicture(doc, shown);
    for (int row = 0; row < doc.FRowCount; ++row) {
        for (int col = 1; col <= std::min(doc.FColCount, Tabc::kMaxCols); ++col) {
            if (!(doc.CellAttr(row, col) & caUnderline) ||
                static_cast<size_t>(col) > doc.FLines[row].size())
                continue;
            ++underlinedCells;
            const TColor fg = doc.FMarked[row][col] ? doc.FCells[row][col].Fg : doc.FDefaultFg;
            const std::uint32_t pixel =
                0xFF000000u | (fg & 0xFF) << 16 | (fg & 0xFF00) | (fg >> 16 & 0xFF);
            EXPECT_EQ(ColoursIn(shown, (col - 1) * 8, row * 16 + 15, 8, 1), TPixels{pixel})
                << "row " << row << " col " << col;
        }
    }
    EXPECT_GT(underlinedCells, 0);
}

}  // namespace
}  // namespace morvane
