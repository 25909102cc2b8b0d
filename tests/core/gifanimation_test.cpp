#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gif/gifexception.h"
#include "gif/giffile.h"
#include "gif/gifprogress.h"
#include "giflibreader.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::DecodeAnimationWithGiflib;
using test::TDecodedAnimation;
using test::TDecodedFrame;

// Test output names a table row instead of dumping its bitmaps.
template <typename TRow, typename = decltype(std::declval<TRow>().Name)>
std::ostream& operator<<(std::ostream& os, const TRow& row) {
    return os << row.Name;
}

std::uint32_t SwapRedBlue(std::uint32_t color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

// Colour number k of a run of distinct colours.
std::uint32_t NumberedColour(int k) {
    return static_cast<std::uint32_t>(k & 0xFF) | static_cast<std::uint32_t>(k >> 8) * 40 << 8 |
           static_cast<std::uint32_t>(k * 13 & 0xFF) << 16;
}

std::vector<std::uint32_t> Colours(int first, int count) {
    std::vector<std::uint32_t> colours;
    for (int k = first; k < first + count; ++k) colours.push_back(NumberedColour(k));
    return colours;
}

// Blocks of 4 x 4 pixels, as a picture of cells has runs the encoder's strings grow along; every
// colour of colours occurs.
TGifBitmap Blocks(int width, int height, const std::vector<std::uint32_t>& colours, unsigned seed) {
    std::mt19937 random(seed);
    const int across = (width + 3) / 4;
    std::vector<std::uint32_t> cells((height + 3) / 4 * across);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = i < colours.size() ? colours[i] : colours[random() % colours.size()];
    }
    std::shuffle(cells.begin(), cells.end(), random);
    TGifBitmap bitmap{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bitmap.Pixels.push_back(cells[y / 4 * across + x / 4]);
    }
    return bitmap;
}

TGifBitmap InRedHighOrder(TGifBitmap bitmap) {
    for (std::uint32_t& pixel : bitmap.Pixels) pixel = SwapRedBlue(pixel);
    bitmap.Order = TPixelOrder::RedHigh;
    return bitmap;
}

// The bitmap's pixels as 0x00BBGGRR, the order the decoder gives.
std::vector<std::uint32_t> RedLowPixels(const TGifBitmap& bitmap) {
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t pixel : bitmap.Pixels) {
        pixel &= 0xFFFFFF;
        pixels.push_back(bitmap.Order == TPixelOrder::RedHigh ? SwapRedBlue(pixel) : pixel);
    }
    return pixels;
}

int Distance(std::uint32_t a, std::uint32_t b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        sum += d * d;
    }
    return sum;
}

struct TFrame {
    TGifBitmap Bitmap;
    int Left;
    int Top;
    std::uint16_t Delay;
};

struct TAnimationCase {
    const char* Name;
    std::function<std::vector<TFrame>()> Make;
    bool Loop;
};

class GifAnimation : public testing::TestWithParam<TAnimationCase> {};

// Each frame where it was put, for as long as asked, left in place for the next; one colour
// table for all of them; the loop extension when asked for.
TEST_P(GifAnimation, GiflibReadsTheFramesBack) {
    const std::vector<TFrame> frames = GetParam().Make();
    TGifFile file;
    for (const TFrame& frame : frames) {
        file.AddFrame(TGifBitmap(frame.Bitmap), frame.Left, frame.Top, frame.Delay);
    }
    if (GetParam().Loop) file.SetLoopForever();
    std::string bytes;
    file.SaveToStream(bytes);
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a");

    const TDecodedAnimation decoded = DecodeAnimationWithGiflib(bytes);
    ASSERT_EQ(decoded.Frames.size(), frames.size());
    int screenWidth = 0, screenHeight = 0;
    for (const TFrame& frame : frames) {
        screenWidth = std::max(screenWidth, frame.Left + frame.Bitmap.Width);
        screenHeight = std::max(screenHeight, frame.Top + frame.Bitmap.Height);
    }
    EXPECT_EQ(decoded.ScreenWidth, screenWidth);
    EXPECT_EQ(decoded.ScreenHeight, screenHeight);
    EXPECT_EQ(decoded.LoopExtensions, GetParam().Loop ? 1 : 0);
    if (GetParam().Loop) {
        EXPECT_EQ(decoded.LoopCount, 0);
    }
    EXPECT_EQ(decoded.OtherApplicationExtensions, 0);

    std::set<std::uint32_t> original;
    for (const TFrame& frame : frames) {
        for (std::uint32_t pixel : RedLowPixels(frame.Bitmap)) original.insert(pixel);
    }
    std::set<std::uint32_t> used;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        SCOPED_TRACE("frame " + std::to_string(n + 1));
        const TDecodedFrame& got = decoded.Frames[n];
        EXPECT_EQ(got.Left, frames[n].Left);
        EXPECT_EQ(got.Top, frames[n].Top);
        ASSERT_EQ(got.Width, frames[n].Bitmap.Width);
        ASSERT_EQ(got.Height, frames[n].Bitmap.Height);
        EXPECT_FALSE(got.HasLocalTable);
        EXPECT_TRUE(got.HasGraphicControl);
        EXPECT_EQ(got.Disposal, DISPOSE_DO_NOT);
        EXPECT_EQ(got.DelayCentiseconds, frames[n].Delay);
        EXPECT_EQ(got.TransparentIndex, NO_TRANSPARENT_COLOR);
        EXPECT_FALSE(got.WaitsForUser);
        if (original.size() <= 256) {
            EXPECT_EQ(got.Pixels, RedLowPixels(frames[n].Bitmap));
        }
        used.insert(got.Pixels.begin(), got.Pixels.end());
    }
    if (original.size() <= 256) return;

    // Reduced together: every pixel becomes the nearest colour of the one table, and a colour
    // has one index in every frame.
    EXPECT_LE(used.size(), 256u);
    std::map<std::uint32_t, int> indexOf;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const std::vector<std::uint32_t> pixels = RedLowPixels(frames[n].Bitmap);
        const TDecodedFrame& got = decoded.Frames[n];
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            int best = 1 << 30;
            for (std::uint32_t entry : used) best = std::min(best, Distance(entry, pixels[i]));
            ASSERT_EQ(Distance(got.Pixels[i], pixels[i]), best)
                << "frame " << n + 1 << " pixel " << i;
            auto [known, added] = indexOf.emplace(pixels[i], got.Indices[i]);
            ASSERT_EQ(known->second, got.Indices[i]) << "frame " << n + 1 << " pixel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, GifAnimation,
    testing::Values(
        TAnimationCase{"TwoFullFrames",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(96, 64, Colours(0, 16), 1), 0, 0, 50},
                               {Blocks(96, 64, Colours(0, 16), 2), 0, 0, 0x0102}};
                       },
                       true},
        // As a blink phase is drawn: only the cells that change, over the first frame.
        TAnimationCase{"SecondFrameIsASubRectangle",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(96, 64, Colours(0, 16), 3), 0, 0, 0xFFFF},
                               {Blocks(24, 16, Colours(8, 4), 4), 40, 32, 0}};
                       },
                       true},
        TAnimationCase{"SecondFrameWidensTheScreen",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(40, 30, Colours(0, 5), 5), 0, 0, 30},
                               {Blocks(30, 20, Colours(3, 5), 6), 25, 20, 30}};
                       },
                       true},
        TAnimationCase{"Exactly256ColoursTogether",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(64, 64, Colours(0, 200), 7), 0, 0, 40},
                               {Blocks(64, 64, Colours(56, 200), 8), 0, 0, 40}};
                       },
                       true},
        // 200 colours each, 300 together: too many for one table, though each frame would fit.
        TAnimationCase{"Over256ColoursTogether",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(64, 64, Colours(0, 200), 9), 0, 0, 40},
                               {Blocks(64, 64, Colours(100, 200), 10), 0, 0, 40}};
                       },
                       true},
        // Red in one order is blue in the other: a colour is known by its value in one order.
        TAnimationCase{"FramesOfBothPixelOrders",
                       [] {
                           const std::vector<std::uint32_t> pairs = {0x0000FF, 0xFF0000, 0x00FF00,
                                                                     0x123456, 0x563412};
                           return std::vector<TFrame>{
                               {Blocks(32, 32, pairs, 11), 0, 0, 20},
                               {InRedHighOrder(Blocks(32, 32, pairs, 12)), 0, 0, 20}};
                       },
                       true},
        TAnimationCase{"PlaysOnceWithoutTheLoop",
                       [] {
                           return std::vector<TFrame>{
                               {Blocks(16, 16, Colours(0, 3), 13), 0, 0, 10},
                               {Blocks(16, 16, Colours(0, 3), 14), 0, 0, 10}};
                       },
                       false}),
    [](const testing::TestParamInfo<TAnimationCase>& info) { return info.param.Name; });

// The header given, then the bytes written in hex.
std::string Bytes(const char* header, const char* hex) {
    std::string bytes = header;
    for (const char* at = hex; *at != '\0'; ++at) {
        if (*at == ' ') continue;
        bytes.push_back(static_cast<char>(std::stoi(std::string(at, 2), nullptr, 16)));
        ++at;
    }
    return bytes;
}

std::string Hex(const std::string& bytes) {
    std::string hex;
    char digits[4];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        hex += digits;
    }
    return hex;
}

struct TLayoutCase {
    const char* Name;
    std::function<void(TGifFile&)> Build;
    std::string Bytes;
};

class GifAnimationBytes : public testing::TestWithParam<TLayoutCase> {};

TEST_P(GifAnimationBytes, PlacesTheExtensions) {
    TGifFile file;
    GetParam().Build(file);
    std::string bytes;
    file.SaveToStream(bytes);
    EXPECT_EQ(Hex(bytes), Hex(GetParam().Bytes));
}

const TGifBitmap kRed{1, 1, {0x0000FF}};
const TGifBitmap kBlue{1, 1, {0xFF0000}};

INSTANTIATE_TEST_SUITE_P(
    Files, GifAnimationBytes,
    testing::Values(
        // The graphic control extension: disposal 1 in bits 2 to 4, the delay low byte first.
        TLayoutCase{"OneFrame",
                    [](TGifFile& file) { file.AddFrame(TGifBitmap(kRed), 0, 0, 0x1234); },
                    Bytes("GIF89a",
                          "0100 0100 80 00 00  FF0000 000000  21F9 04 04 3412 00 00"
                          "  2C 0000 0000 0100 0100 00  02 02 4401 00  3B")},
        TLayoutCase{"FrameAtAnOffset",
                    [](TGifFile& file) { file.AddFrame(TGifBitmap(kRed), 3, 2, 5); },
                    Bytes("GIF89a",
                          "0400 0300 80 00 00  FF0000 000000  21F9 04 04 0500 00 00"
                          "  2C 0300 0200 0100 0100 00  02 02 4401 00  3B")},
        // One loop extension however often it is asked for, right after the colour table.
        TLayoutCase{"LoopingPicture",
                    [](TGifFile& file) {
                        file.AddBitmap(TGifBitmap(kRed));
                        file.SetLoopForever();
                        file.SetLoopForever();
                    },
                    Bytes("GIF89a",
                          "0100 0100 80 00 00  FF0000 000000"
                          "  21FF 0B 4E45545343415045322E30 03 01 0000 00"
                          "  2C 0000 0000 0100 0100 00  02 02 4401 00  3B")},
        // The second frame's colour is index 1 of the shared table.
        TLayoutCase{"LoopingFrames",
                    [](TGifFile& file) {
                        file.SetLoopForever();
                        file.AddFrame(TGifBitmap(kRed), 0, 0, 50);
                        file.AddFrame(TGifBitmap(kBlue), 0, 0, 50);
                    },
                    Bytes("GIF89a",
                          "0100 0100 80 00 00  FF0000 0000FF"
                          "  21FF 0B 4E45545343415045322E30 03 01 0000 00"
                          "  21F9 04 04 3200 00 00  2C 0000 0000 0100 0100 00  02 02 4401 00"
                          "  21F9 04 04 3200 00 00  2C 0000 0000 0100 0100 00  02 02 4C01 00"
                          "  3B")}),
    [](const testing::TestParamInfo<TLayoutCase>& info) { return info.param.Name; });

struct TRefusedFrameCase {
    const char* Name;
    std::function<void(TGifFile&)> Add;
    const char* Message;
};

class GifAnimationRefused : public testing::TestWithParam<TRefusedFrameCase> {};

TEST_P(GifAnimationRefused, RaisesAndLeavesTheFileAlone) {
    test::TTempFolder folder;
    const std::string path = folder.Write("old.gif", "old contents");
    try {
        TGifFile file;
        GetParam().Add(file);
        file.SaveToFile(path);
        FAIL() << "saved";
    } catch (const EGifException& e) {
        EXPECT_STREQ(e.what(), GetParam().Message);
    }
    EXPECT_EQ(ReadWholeFile(path), "old contents");
}

TGifBitmap Plain(int width, int height) {
    return TGifBitmap{width, height, TLargeVector<std::uint32_t>(std::size_t(width) * height)};
}

INSTANTIATE_TEST_SUITE_P(
    Frames, GifAnimationRefused,
    testing::Values(
        TRefusedFrameCase{"NegativeLeft",
                          [](TGifFile& file) { file.AddFrame(Plain(2, 2), -1, 0, 10); },
                          "frame at (-1, 0) lies off the GIF screen, whose offsets run from 0 to "
                          "65535"},
        TRefusedFrameCase{"NegativeTop",
                          [](TGifFile& file) { file.AddFrame(Plain(2, 2), 0, -8, 10); },
                          "frame at (0, -8) lies off the GIF screen, whose offsets run from 0 to "
                          "65535"},
        TRefusedFrameCase{"TopPast65535",
                          [](TGifFile& file) { file.AddFrame(Plain(2, 2), 0, 65536, 10); },
                          "frame at (0, 65536) lies off the GIF screen, whose offsets run from 0 "
                          "to 65535"},
        TRefusedFrameCase{"ReachesPastTheRightEdge",
                          [](TGifFile& file) { file.AddFrame(Plain(10, 1), 65530, 0, 10); },
                          "frame of 10 x 1 pixels at (65530, 0) reaches past the largest GIF "
                          "screen (65535 x 65535)"},
        TRefusedFrameCase{"ReachesPastTheBottomEdge",
                          [](TGifFile& file) {
                              file.AddFrame(Plain(2, 2), 0, 0, 10);
                              file.AddFrame(Plain(1, 10), 3, 65530, 10);
                          },
                          "frame of 1 x 10 pixels at (3, 65530) reaches past the largest GIF "
                          "screen (65535 x 65535)"},
        TRefusedFrameCase{"EmptySecondFrame",
                          [](TGifFile& file) {
                              file.AddFrame(Plain(2, 2), 0, 0, 10);
                              file.AddFrame(Plain(0, 3), 0, 0, 10);
                          },
                          "frame 2 of 2 has no pixels (0 x 3)"},
        TRefusedFrameCase{"SecondFramePixelsMissing",
                          [](TGifFile& file) {
                              file.AddFrame(Plain(2, 2), 0, 0, 10);
                              file.AddFrame({4, 4, TLargeVector<std::uint32_t>(15)}, 0, 0, 10);
                          },
                          "bitmap of 4 x 4 pixels holds 15 pixel values"}),
    [](const testing::TestParamInfo<TRefusedFrameCase>& info) { return info.param.Name; });

TEST(GifAnimationFrames, RefusedFrameLeavesTheCallersBitmap) {
    TGifFile file;
    TGifBitmap bitmap = Plain(3, 2);
    EXPECT_THROW(file.AddFrame(std::move(bitmap), -1, 0, 10), EGifException);
    EXPECT_EQ(bitmap.Pixels.size(), 6u);
}

std::vector<float> Reports;
void RecordProgress(float fraction) { Reports.push_back(fraction); }

// The window's dial shows each pass once, not once a frame: colours collected over all frames,
// then pixels encoded over all frames, each from 0 to 1.
TEST(GifAnimationFrames, ProgressRunsOnceAPassOverAllFrames) {
    Reports.clear();
    TGifProgressRoutine saved = GifProgress;
    GifProgress = RecordProgress;
    TGifFile file;
    file.AddFrame(Blocks(300, 200, Colours(0, 256), 21), 0, 0, 50);
    file.AddFrame(Blocks(300, 200, Colours(0, 256), 22), 0, 0, 50);
    std::string bytes;
    file.SaveToStream(bytes);
    GifProgress = saved;
    ASSERT_GE(Reports.size(), 4u);
    EXPECT_EQ(std::count(Reports.begin(), Reports.end(), 0.0f), 2);
    EXPECT_EQ(std::count(Reports.begin(), Reports.end(), 1.0f), 2);
    auto restart = std::find(Reports.begin() + 1, Reports.end(), 0.0f);
    ASSERT_NE(restart, Reports.end());
    EXPECT_EQ(Reports.front(), 0.0f);
    EXPECT_EQ(*(restart - 1), 1.0f);
    EXPECT_EQ(Reports.back(), 1.0f);
    EXPECT_TRUE(std::is_sorted(Reports.begin(), restart));
    EXPECT_TRUE(std::is_sorted(restart, Reports.end()));
}

}  // namespace
}  // namespace morvane
