#include "display/raster/thumbnail.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "display/raster/cellfont.h"
#include "display/raster/thumbnailcache.h"
#include "testfiles.h"

namespace morvane {
namespace {

TPixelBuffer Filled(int width, int height, std::uint32_t pixel) {
    TPixelBuffer picture;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.assign(static_cast<std::size_t>(width) * height, pixel);
    return picture;
}

struct TScaleCase {
    const char* Name;
    int Width, Height, Size;
    int ScaledWidth, ScaledHeight;
};

class ScaleToFitTest : public testing::TestWithParam<TScaleCase> {};

TEST_P(ScaleToFitTest, LargerSideBecomesTheSize) {
    const TScaleCase& c = GetParam();
    const TPixelBuffer scaled = ScaleToFit(Filled(c.Width, c.Height, 0xFF123456), c.Size);
    EXPECT_EQ(scaled.Width, c.ScaledWidth);
    EXPECT_EQ(scaled.Height, c.ScaledHeight);
    ASSERT_EQ(scaled.Pixels.size(), std::size_t(c.ScaledWidth) * c.ScaledHeight);
    for (std::uint32_t pixel : scaled.Pixels) ASSERT_EQ(pixel, 0xFF123456u);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleToFitTest,
                         testing::Values(TScaleCase{"Wide", 640, 400, 96, 96, 60},
                                         TScaleCase{"Tall", 400, 640, 96, 60, 96},
                                         TScaleCase{"Square", 256, 256, 128, 128, 128},
                                         TScaleCase{"AlreadySmall", 50, 30, 96, 50, 30},
                                         TScaleCase{"OneLine", 2048, 16, 96, 96, 1},
                                         TScaleCase{"Odd", 1000, 999, 7, 7, 6}),
                         [](const testing::TestParamInfo<TScaleCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(ScaleToFitTest, EachPixelIsTheAverageOfThoseItCovers) {
    TPixelBuffer picture = Filled(4, 2, 0xFF000000);
    // The left 2 x 2 block: one white pixel of four; the right block: all white.
    picture.Pixels[0] = 0xFFFFFFFF;
    for (int i : {2, 3, 6, 7}) picture.Pixels[i] = 0xFFFFFFFF;
    const TPixelBuffer scaled = ScaleToFit(picture, 2);
    ASSERT_EQ(scaled.Width, 2);
    ASSERT_EQ(scaled.Height, 1);
    EXPECT_EQ(scaled.Pixels[0], 0xFF404040u);
    EXPECT_EQ(scaled.Pixels[1], 0xFFFFFFFFu);
}

class ThumbnailFileTest : public testing::Test {
protected:
    test::TTempFolder FFolder;
};

TEST_F(ThumbnailFileTest, ArtFilesGiveTheirPictureScaledAndOthersNone) {
    const std::string art = FFolder.Write("art.txt", "\x1b[31m" + std::string(80, 'x') + "\r\n");
    TCellFont& font = TCellFont::Shared();
    TPixelBuffer thumbnail;
    ASSERT_TRUE(RenderThumbnail(art, 64, font, thumbnail));
    EXPECT_EQ(thumbnail.Width, 64);
    EXPECT_EQ(thumbnail.Height, 1);  // 640 x 16 pixels scaled down

    for (const std::string& other :
         {FFolder.Path() + "missing.txt", FFolder.Write("page.htm", "<p>page</p>"),
          FFolder.Write("empty.txt", "")}) {
        EXPECT_FALSE(RenderThumbnail(other, 64, font, thumbnail)) << other;
        EXPECT_EQ(thumbnail.Width, 0) << other;
    }
}

// A changed file (in size or in time) is drawn again; an unchanged one comes from the cache.
TEST_F(ThumbnailFileTest, CacheHoldsAThumbnailUntilItsFilesChange) {
    namespace fs = std::filesystem;
    const std::string plain = FFolder.Write("plain.txt", "plain\r\n");
    const std::string colours = FFolder.Write("pair.clo", "");
    const std::string text = FFolder.Write("pair.txt", "pair\r\n");
    TThumbnailCache cache;
    for (const std::string& path : {plain, colours}) {
        cache.Store(path, 96, ArtStampOf(path), Filled(1, 1, 0xFF000000));
        EXPECT_NE(cache.Find(path, 96, ArtStampOf(path)), nullptr) << path;
        EXPECT_EQ(cache.Find(path, 48, ArtStampOf(path)), nullptr) << "another size";
    }

    FFolder.Write("plain.txt", "plain, longer\r\n");
    EXPECT_EQ(cache.Find(plain, 96, ArtStampOf(plain)), nullptr) << "new size";
    cache.Store(plain, 96, ArtStampOf(plain), Filled(1, 1, 0xFF000000));
    fs::last_write_time(plain, fs::last_write_time(plain) - std::chrono::hours(1));
    EXPECT_EQ(cache.Find(plain, 96, ArtStampOf(plain)), nullptr) << "new time";

    // The text part of a colour pair changes the colour file's picture.
    FFolder.Write("pair.txt", "pair, longer\r\n");
    EXPECT_EQ(cache.Find(colours, 96, ArtStampOf(colours)), nullptr);
    EXPECT_NE(ArtStampOf(text), TArtStamp{});
}

}  // namespace
}  // namespace morvane
