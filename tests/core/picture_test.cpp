// Saved pictures without Qt: the export rules, the text view's drawing, the glyph sheet and the
// converter's picture formats, read back by giflib.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "display/raster/cellfont.h"
#include "display/raster/documentpicture.h"
#include "display/raster/exportpicture.h"
#include "display/raster/textpicture.h"
#include "document/converter.h"
#include "giflibreader.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::DecodeWithGiflib;
using test::TDecoded;
using test::TTempFolder;

constexpr std::uint32_t kInk = 0xFF102030;
constexpr std::uint32_t kPaper = 0xFFE0D0C0;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
// U+2588, every pixel set.
const std::string kFullBlock = "\xA8\x80";

std::uint32_t At(const TPixelBuffer& picture, int x, int y) {
    return picture.Pixels[static_cast<std::size_t>(y) * picture.Width + x];
}

TPixelBuffer Filled(int width, int height, std::uint32_t pixel) {
    TPixelBuffer picture{width, height, {}};
    picture.Pixels.assign(static_cast<std::size_t>(width) * height, pixel);
    return picture;
}

struct TRowLimitCase {
    const char* Name;
    int Width;
    int Rows;
};

void PrintTo(const TRowLimitCase& c, std::ostream* os) { *os << c.Name; }

class ExportRowLimitTest : public testing::TestWithParam<TRowLimitCase> {};

TEST_P(ExportRowLimitTest, IsThePixelLimitOverTheWidthRoundedHalfToEven) {
    EXPECT_EQ(ExportRowLimit(GetParam().Width), GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ExportRowLimitTest,
    testing::Values(
        TRowLimitCase{"WidestSurfaceKeepsMoreThanItsHeight", 2048, 8867},
        TRowLimitCase{"PageOf1000Pixels", 1000, 18160}, TRowLimitCase{"NearestBelow", 3, 6053333},
        TRowLimitCase{"NearestAbove", 7, 2594286}, TRowLimitCase{"TieGoesUpToEven", 256, 70938},
        TRowLimitCase{"TieGoesDownToEven", 58112, 312}, TRowLimitCase{"OnePixel", 1, 18160000}),
    [](const testing::TestParamInfo<TRowLimitCase>& info) { return info.param.Name; });

TEST(ExportPictureTest, FirstRowAndColumnTurnWhiteAndTheRestStays) {
    const TPixelBuffer exported = ExportPicture(Filled(3, 2, kInk));
    ASSERT_EQ(exported.Width, 3);
    ASSERT_EQ(exported.Height, 2);
    EXPECT_EQ(exported.Pixels, (TLargeVector<std::uint32_t>{kWhite, kWhite, kWhite,  //
                                                            kWhite, kInk, kInk}));
}

TEST(ExportPictureTest, RowsPastThePixelLimitAreCut) {
    const TPixelBuffer exported = ExportPicture(Filled(181600, 101, kInk));
    EXPECT_EQ(exported.Height, 100);
    EXPECT_EQ(exported.Pixels.size(), 181600u * 100u);
}

TEST(ExportPictureTest, PictureWithoutPixelsIsNothingToSave) {
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        try {
            ExportPicture(Filled(width, height, kInk));
            ADD_FAILURE() << width << " x " << height;
        } catch (const EEmptyPicture& error) {
            EXPECT_STREQ(error.what(), "nothing to save: the picture is empty");
        }
    }
}

struct TTextSizeCase {
    const char* Name;
    std::vector<std::string> Lines;
    int Width;
    int Height;
};

void PrintTo(const TTextSizeCase& c, std::ostream* os) { *os << c.Name; }

class TextPictureSizeTest : public testing::TestWithParam<TTextSizeCase> {};

TEST_P(TextPictureSizeTest, IsTheLongestDrawnLineByTheLines) {
    TPixelBuffer picture;
    RenderTextPicture(GetParam().Lines, TEncoding::Gb, kInk, kPaper, picture);
    EXPECT_EQ(picture.Width, GetParam().Width);
    EXPECT_EQ(picture.Height, GetParam().Height);
    EXPECT_EQ(picture.Pixels.size(), static_cast<std::size_t>(picture.Width) * picture.Height);
}

std::vector<std::string> ManyLines(int count, const std::string& line, int longAt,
                                   std::size_t longLength) {
    std::vector<std::string> lines(count, line);
    lines[longAt] = std::string(longLength, 'x');
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Views, TextPictureSizeTest,
    testing::Values(
        TTextSizeCase{"EmptyView", {}, 8, 0}, TTextSizeCase{"EmptyLine", {""}, 8, 16},
        TTextSizeCase{"LongestLine", {"a", "abcd", "ab"}, 32, 48},
        TTextSizeCase{"ChineseCountsItsBytes", {"\xD6\xD0\xCE\xC4"}, 32, 16},
        TTextSizeCase{"WideLineIsClipped", {std::string(300, 'x')}, 2048, 16},
        TTextSizeCase{"LastPartlyShownLineCounts", ManyLines(600, "ab", 553, 40), 320, 8860},
        TTextSizeCase{"LinesBelowTheBottomDoNotCount", ManyLines(600, "ab", 554, 40), 16, 8860}),
    [](const testing::TestParamInfo<TTextSizeCase>& info) { return info.param.Name; });

TEST(TextPictureTest, LinesStartOnePixelInsideABlackOutline) {
    TPixelBuffer picture;
    RenderTextPicture({kFullBlock, "A"}, TEncoding::Gb, kInk, kPaper, picture);
    ASSERT_EQ(picture.Width, 16);
    ASSERT_EQ(picture.Height, 32);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(At(picture, x, 0), kBlack) << x;
    for (int y = 0; y < 32; ++y) EXPECT_EQ(At(picture, 0, y), kBlack) << y;
    // The full block covers its cell, so its right half overwrites the right outline.
    for (int y = 1; y <= 16; ++y) {
        for (int x = 1; x < 16; ++x) EXPECT_EQ(At(picture, x, y), kInk) << x << "," << y;
    }
    EXPECT_EQ(At(picture, 15, 20), kBlack);
    EXPECT_EQ(At(picture, 9, 31), kBlack);
    EXPECT_EQ(At(picture, 1, 31), kPaper);
}

TEST(TextPictureTest, EveryLineThatStartsInsideIsDrawn) {
    TPixelBuffer picture;
    RenderTextPicture(std::vector<std::string>(600, kFullBlock), TEncoding::Gb, kInk, kPaper,
                      picture);
    ASSERT_EQ(picture.Height, 8860);
    // Line 554 starts at 8849 and shows its top 11 rows.
    EXPECT_EQ(At(picture, 5, 8849), kInk);
    EXPECT_EQ(At(picture, 5, 8858), kInk);
}

// The sheet against the fonts it was written from, glyph for glyph.
TEST(GlyphSheetTest, HoldsEveryGlyphOfTheFonts) {
    TTempFolder dir;
    TCellFont fonts;
    fonts.WriteSheet(dir.Path() + "sheet");
    std::unique_ptr<TCellFont> sheet = TCellFont::FromSheet(dir.Path() + "sheet");
    ASSERT_TRUE(sheet);
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(sheet->Narrow(byte), fonts.Narrow(byte)) << byte;
    }
    for (TEncoding encoding : {TEncoding::Gb, TEncoding::Big5}) {
        int differences = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const auto l = static_cast<std::uint8_t>(lead);
                const auto t = static_cast<std::uint8_t>(trail);
                differences += sheet->Wide(encoding, l, t) != fonts.Wide(encoding, l, t);
            }
        }
        EXPECT_EQ(differences, 0) << CharsetName(encoding);
    }
}

TEST(GlyphSheetTest, IsRefusedUnlessItMatchesTheFontFilesNow) {
    TTempFolder dir;
    const std::string narrow = dir.Path() + "narrow.pcf.gz";
    const std::string wide = dir.Path() + "wide.pcf";
    std::filesystem::copy_file(TCellFont::kUnifontPath, narrow);
    std::filesystem::copy_file(TCellFont::kSongPath, wide);
    const std::string sheet = dir.Path() + "sheet";
    TCellFont(narrow, wide).WriteSheet(sheet);
    ASSERT_TRUE(TCellFont::FromSheet(sheet, narrow, wide));

    EXPECT_FALSE(TCellFont::FromSheet(sheet, wide, narrow)) << "fonts in other roles";
    EXPECT_FALSE(TCellFont::FromSheet(dir.Path() + "missing", narrow, wide));
    const std::string whole = ReadWholeFile(sheet);
    WriteFileAtomic(dir.Path() + "short", whole.substr(0, whole.size() - 1));
    EXPECT_FALSE(TCellFont::FromSheet(dir.Path() + "short", narrow, wide)) << "cut short";
    // A font replaced by its next version.
    std::filesystem::last_write_time(
        wide, std::filesystem::last_write_time(wide) + std::chrono::seconds(1));
    EXPECT_FALSE(TCellFont::FromSheet(sheet, narrow, wide)) << "font changed";
    // Fonts gone altogether: the sheet is all that is left of them, and is used.
    std::filesystem::remove(narrow);
    std::filesystem::remove(wide);
    EXPECT_TRUE(TCellFont::FromSheet(sheet, narrow, wide)) << "fonts gone";
    EXPECT_FALSE(TCellFont::FromSheet(sheet, dir.Path() + "other.pcf.gz", wide)) << "other path";
}

class PictureConverterTest : public testing::Test {
protected:
    TTempFolder Dir;
    TTempFolder Scratch;
    std::ostringstream Err;

    int Run(std::vector<std::string> args) {
        auto errLine = [this](const std::string& line) { Err << line << '\n'; };
        auto writePicture = [](const Tabc& doc, const std::string& format,
                               const std::string& path) {
            SaveDocumentPicture(doc, path, *PictureFormatNamed(format));
        };
        return RunConverter(args, errLine, Scratch.Path(), writePicture);
    }
    std::string In(const std::string& name) const { return Dir.Path() + name; }

    // The viewer's picture of the file, with the export's white first row and column.
    TPixelBuffer Expected(const std::string& name) const {
        Tabc doc;
        EXPECT_TRUE(doc.LoadFile(In(name)));
        TPixelBuffer picture;
        RenderDocumentPicture(doc, picture);
        return ExportPicture(std::move(picture));
    }
};

// giflib's pixels are 0x00BBGGRR, the picture's 0xFFRRGGBB.
std::uint32_t PictureColour(std::uint32_t gifColour) {
    return 0xFF000000 | (gifColour & 0xFF) << 16 | (gifColour & 0xFF00) | (gifColour >> 16 & 0xFF);
}

void ExpectSamePicture(const TDecoded& decoded, const TPixelBuffer& expected) {
    ASSERT_EQ(decoded.Width, expected.Width);
    ASSERT_EQ(decoded.Height, expected.Height);
    int differences = 0;
    for (std::size_t i = 0; i < decoded.Pixels.size(); ++i) {
        differences += PictureColour(decoded.Pixels[i]) != expected.Pixels[i];
    }
    EXPECT_EQ(differences, 0);
}

TEST_F(PictureConverterTest, ColouredTextBecomesItsGridPicture) {
    // Red on blue "AB", then a plain line.
    Dir.Write("art.ans", "\x1B[31;44mAB\x1B[m\r\nplain\r\n");
    ASSERT_EQ(Run({"--to", "gif", In("art.ans")}), 0) << Err.str();
    const TDecoded decoded = DecodeWithGiflib(Dir.Read("art.gif"));
    EXPECT_EQ(decoded.Width, 5 * 8);
    EXPECT_EQ(decoded.Height, 2 * 16);
    ExpectSamePicture(decoded, Expected("art.ans"));
    for (int x = 0; x < decoded.Width; ++x) EXPECT_EQ(decoded.Pixels[x], 0xFFFFFFu) << x;
    // The pixels of cell A are its red ink or its blue paper.
    for (int y = 1; y < 16; ++y) {
        for (int x = 1; x < 8; ++x) {
            const std::uint32_t colour = decoded.Pixels[y * decoded.Width + x];
            EXPECT_TRUE(colour == 0x000080 || colour == 0x800000) << x << "," << y;
        }
    }
}

TEST_F(PictureConverterTest, PlainTextIsDrawnAsTheTextViewShowsIt) {
    Dir.Write("plain.txt", "ab\r\n" + kFullBlock + "\r\n");
    ASSERT_EQ(Run({"--to", "gif", In("plain.txt"), "-o", In("plain.gif")}), 0) << Err.str();
    const TDecoded decoded = DecodeWithGiflib(Dir.Read("plain.gif"));
    ExpectSamePicture(decoded, Expected("plain.txt"));
    EXPECT_EQ(decoded.Width, 16);
    EXPECT_EQ(decoded.Height, 32);
    // Black ink of the full block on the second line, white paper in the first line's gaps.
    EXPECT_EQ(decoded.Pixels[20 * 16 + 5], 0x000000u);
    EXPECT_EQ(decoded.Pixels[2 * 16 + 3], 0xFFFFFFu);
}

TEST_F(PictureConverterTest, BlinkingArtBecomesAnAnimationOfItsTwoPhases) {
    // "AB" blinks in red on the second row; the first row is steady.
    Dir.Write("blink.ans", "steady\r\n  \x1B[5;31mAB\x1B[m\r\n");
    ASSERT_EQ(Run({"--to", "gif", In("blink.ans")}), 0) << Err.str();
    const std::string bytes = Dir.Read("blink.gif");
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
    const test::TDecodedAnimation gif = test::DecodeAnimationWithGiflib(bytes);
    EXPECT_EQ(gif.LoopExtensions, 1);
    EXPECT_EQ(gif.LoopCount, 0);
    ASSERT_EQ(gif.Frames.size(), 2u);
    for (const test::TDecodedFrame& frame : gif.Frames) {
        EXPECT_TRUE(frame.HasGraphicControl);
        EXPECT_EQ(frame.DelayCentiseconds, 50);
    }
    // The first frame is the picture as shown, the second the blinking cells' rectangle hidden.
    TDecoded first;
    first.Width = gif.Frames[0].Width;
    first.Height = gif.Frames[0].Height;
    first.Pixels = gif.Frames[0].Pixels;
    ExpectSamePicture(first, Expected("blink.ans"));
    const test::TDecodedFrame& second = gif.Frames[1];
    EXPECT_EQ(second.Left, 16);
    EXPECT_EQ(second.Top, 16);
    EXPECT_EQ(second.Width, 16);
    EXPECT_EQ(second.Height, 16);
    for (std::uint32_t pixel : second.Pixels) EXPECT_EQ(pixel, 0x000000u);

    // PNG and BMP show the cells; a steady file keeps its still GIF.
    Dir.Write("still.ans", "\x1B[31mAB\x1B[m\r\n");
    ASSERT_EQ(Run({"--to", "gif", In("still.ans")}), 0) << Err.str();
    EXPECT_EQ(Dir.Read("still.gif").substr(0, 6), "GIF87a");
}

TEST_F(PictureConverterTest, WritesEveryPictureFormat) {
    Dir.Write("art.ans", "\x1B[32mgo\x1B[m\r\n");
    ASSERT_EQ(Run({"--to", "bmp", In("art.ans")}), 0) << Err.str();
    ASSERT_EQ(Run({"--to", "png", In("art.ans")}), 0) << Err.str();
    EXPECT_EQ(Dir.Read("art.bmp").substr(0, 2), "BM");
    EXPECT_EQ(Dir.Read("art.png").substr(0, 8), "\x89PNG\r\n\x1A\n");
}

TEST_F(PictureConverterTest, PagesAndEmptyTextWriteNoPicture) {
    Dir.Write("page.htm", "<p>page</p>");
    Dir.Write("empty.txt", "");
    EXPECT_EQ(Run({"--to", "png", In("page.htm"), In("empty.txt")}), 1);
    const std::string err = Err.str();
    EXPECT_NE(err.find("page.htm: an HTML page needs the viewer to become a picture"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("empty.txt: nothing to save: the picture is empty"), std::string::npos)
        << err;
    EXPECT_FALSE(FileExists(In("page.png")));
    EXPECT_FALSE(FileExists(In("empty.png")));
}

TEST_F(PictureConverterTest, UnknownFormatNamesThePictureFormats) {
    Dir.Write("art.ans", "x\r\n");
    EXPECT_EQ(Run({"--to", "jpg", In("art.ans")}), 2);
    EXPECT_NE(Err.str().find("--to must be txt, clo, htm, gif, bmp or png"), std::string::npos)
        << Err.str();
}

}  // namespace
}  // namespace morvane
