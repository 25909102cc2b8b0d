#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gif/bigbytearray.h"
#include "gif/bytearray2d.h"
#include "gif/gifexception.h"
#include "gif/giffile.h"
#include "gif/gifprogress.h"
#include "gif/gifsubimage.h"
#include "platform/files.h"

namespace morvane {
namespace {

using TPixelRule = std::function<std::uint32_t(int x, int y)>;

// Test output names a table row instead of dumping its bytes.
template <typename TRow, typename = decltype(std::declval<TRow>().Name)>
std::ostream& operator<<(std::ostream& os, const TRow& row) {
    return os << row.Name;
}

TGifBitmap MakeBitmap(int width, int height, const TPixelRule& rule) {
    TGifBitmap bitmap{width, height, {}};
    bitmap.Pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) bitmap.Pixels.push_back(rule(x, y));
    }
    return bitmap;
}

std::string Encode(TGifBitmap bitmap) {
    TGifFile file;
    file.AddBitmap(std::move(bitmap));
    std::string bytes;
    file.SaveToStream(bytes);
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

// Pictures made of 8 x 16 cells of 16 colours, mostly blank, like rendered text art.
TGifBitmap TextArt(int width, int height, unsigned seed) {
    static const std::uint32_t kAnsi[16] = {
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> glyphs(64 * 16);
    for (auto& row : glyphs) row = static_cast<std::uint8_t>(random() & 0x7E);
    int columns = (width + 7) / 8;
    int rows = (height + 15) / 16;
    std::vector<int> glyph(columns * rows), fore(columns * rows), back(columns * rows);
    int f = 7, b = 0;
    for (int cell = 0; cell < columns * rows; ++cell) {
        if (random() % 12 == 0) f = random() % 16;
        if (random() % 30 == 0) b = random() % 8;
        glyph[cell] = random() % 5 < 3 ? -1 : static_cast<int>(random() % 64);
        fore[cell] = f;
        back[cell] = b;
    }
    return MakeBitmap(width, height, [&](int x, int y) {
        if (x == 0 || y == 0) return 0xFFFFFFu;
        int cell = (y / 16) * columns + x / 8;
        bool ink = glyph[cell] >= 0 && (glyphs[glyph[cell] * 16 + y % 16] >> (7 - x % 8) & 1);
        return kAnsi[ink ? fore[cell] : back[cell]];
    });
}

TPixelRule Noise(int colors, unsigned seed) {
    auto random = std::make_shared<std::mt19937>(seed);
    return [random, colors](int, int) {
        std::uint32_t k = (*random)() % colors;
        return k | (255 - k) << 8 | (k * 7 & 0xFF) << 16;
    };
}

struct TDecoded {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::set<std::uint32_t> Palette;
};

struct TMemoryReader {
    const std::string* Bytes;
    std::size_t At = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* reader = static_cast<TMemoryReader*>(gif->UserData);
    std::size_t count = std::min<std::size_t>(length, reader->Bytes->size() - reader->At);
    std::memcpy(buffer, reader->Bytes->data() + reader->At, count);
    reader->At += count;
    return static_cast<int>(count);
}

// giflib, an independent decoder, reads the file; pixels come back as 0x00BBGGRR.
TDecoded DecodeWithGiflib(const std::string& bytes) {
    TMemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
    EXPECT_NE(gif, nullptr) << GifErrorString(error);
    TDecoded decoded;
    if (gif == nullptr) return decoded;
    EXPECT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->ImageCount, 1);
    if (gif->ImageCount == 1 && gif->SColorMap != nullptr) {
        const SavedImage& image = gif->SavedImages[0];
        decoded.Width = image.ImageDesc.Width;
        decoded.Height = image.ImageDesc.Height;
        const GifColorType* colors = gif->SColorMap->Colors;
        std::size_t count = static_cast<std::size_t>(decoded.Width) * decoded.Height;
        for (std::size_t i = 0; i < count; ++i) {
            const GifColorType& c = colors[image.RasterBits[i]];
            std::uint32_t color = c.Red | c.Green << 8 | c.Blue << 16;
            decoded.Pixels.push_back(color);
            decoded.Palette.insert(color);
        }
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

struct TExactCase {
    const char* Name;
    TGifBitmap Bitmap;
    std::string Bytes;
};

class GifExactBytes : public testing::TestWithParam<TExactCase> {};

TEST_P(GifExactBytes, WritesTheDocumentedFile) {
    EXPECT_EQ(Hex(Encode(GetParam().Bitmap)), Hex(GetParam().Bytes));
}

// "GIF87a" followed by the bytes written in hex.
std::string GifBytes(const char* hex) {
    std::string bytes = "GIF87a";
    for (const char* at = hex; *at != '\0'; ++at) {
        if (*at == ' ') continue;
        bytes.push_back(static_cast<char>(std::stoi(std::string(at, 2), nullptr, 16)));
        ++at;
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    SmallPictures, GifExactBytes,
    testing::Values(
        // Codes clear, index, end at 3 bits; the table is the colour and black.
        TExactCase{"OnePixel",
                   {1, 1, {0x0000FF}},
                   GifBytes("0100 0100 80 00 00  FF0000 000000  2C 0000 0000 0100 0100 00"
                            "  02 02 4401 00  3B")},
        // The second code is the second pixel's index.
        TExactCase{"TwoPixelsOfTwoColours",
                   {2, 1, {0x0000FF, 0xFF0000}},
                   GifBytes("0200 0100 80 00 00  FF0000 0000FF  2C 0000 0000 0200 0100 00"
                            "  02 02 440A 00  3B")},
        // Codes 4, 0, 6, 7, 5: the string table grows along the run.
        TExactCase{"OneColour",
                   {3, 2, std::vector<std::uint32_t>(6, 0x00FF00)},
                   GifBytes("0300 0200 80 00 00  00FF00 000000  2C 0000 0000 0300 0200 00"
                            "  02 02 845F 00  3B")},
        // First met order, padded with black to 8; packed fields 0xA2; 4-bit codes.
        TExactCase{"FiveColours",
                   {6, 1, {0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456, 0xFFFFFF}},
                   GifBytes("0600 0100 A2 00 00"
                            "  00FF00 FF0000 0000FF 563412 FFFFFF 000000 000000 000000"
                            "  2C 0000 0000 0600 0100 00  03 04 08013294 00  3B")}),
    [](const testing::TestParamInfo<TExactCase>& info) { return info.param.Name; });

struct TRoundTripCase {
    const char* Name;
    std::function<TGifBitmap()> Make;
};

class GifRoundTrip : public testing::TestWithParam<TRoundTripCase> {};

TEST_P(GifRoundTrip, GiflibDecodesTheSamePixels) {
    TGifBitmap bitmap = GetParam().Make();
    TDecoded decoded = DecodeWithGiflib(Encode(bitmap));
    ASSERT_EQ(decoded.Width, bitmap.Width);
    ASSERT_EQ(decoded.Height, bitmap.Height);
    ASSERT_EQ(decoded.Pixels.size(), bitmap.Pixels.size());
    for (std::size_t i = 0; i < bitmap.Pixels.size(); ++i) {
        ASSERT_EQ(decoded.Pixels[i], bitmap.Pixels[i] & 0xFFFFFF) << "pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, GifRoundTrip,
    testing::Values(
        TRoundTripCase{"OnePixel",
                       [] {
                           return TGifBitmap{1, 1, {0x123456}};
                       }},
        TRoundTripCase{"ThreeColours", [] { return MakeBitmap(97, 31, Noise(3, 1)); }},
        TRoundTripCase{"TwoNoisyColours", [] { return MakeBitmap(300, 200, Noise(2, 2)); }},
        TRoundTripCase{"SixteenNoisyColours", [] { return MakeBitmap(333, 120, Noise(16, 3)); }},
        TRoundTripCase{"Exactly256Colours", [] { return MakeBitmap(512, 256, Noise(256, 4)); }},
        TRoundTripCase{"TextArt", [] { return TextArt(640, 1280, 5); }},
        TRoundTripCase{"OneRow", [] { return MakeBitmap(5000, 1, Noise(5, 6)); }},
        TRoundTripCase{"OneColumn", [] { return MakeBitmap(1, 5000, Noise(5, 7)); }},
        TRoundTripCase{"HighByteIgnored",
                       [] {
                           return MakeBitmap(40, 40, [](int x, int) {
                               return x % 2 ? 0xFF00FF00u : 0x0000FF00u;
                           });
                       }},
        // One colour needs about 8 million pixels before its table fills and clears.
        TRoundTripCase{"OneColourFillsTable",
                       [] { return MakeBitmap(3000, 3000, [](int, int) { return 0xABCDEFu; }); }}),
    [](const testing::TestParamInfo<TRoundTripCase>& info) { return info.param.Name; });

// The documented LZW as written: linear string search, codes packed one by one, 255-byte chunks.
// The encoder's lookup table must give exactly these bytes.
std::string ReferenceSubBlocks(const std::vector<std::uint8_t>& pixels, int minimumCodeSize) {
    std::vector<int> prefix(4096), suffix(4096);
    const int clear = 1 << minimumCodeSize;
    const int firstFree = clear + 2;
    int width = 0, next = 0;
    bool full = false;
    auto reset = [&] {
        width = minimumCodeSize + 1;
        next = firstFree;
        full = false;
    };
    std::string data;
    std::uint32_t accumulator = 0;
    int bits = 0;
    auto write = [&](int code) {
        accumulator |= static_cast<std::uint32_t>(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, accumulator >>= 8) {
            data.push_back(static_cast<char>(accumulator & 0xFF));
        }
    };
    reset();
    write(clear);
    write(pixels[0]);
    int previous = pixels[0];
    std::size_t i = 1;
    while (i < pixels.size()) {
        int k = pixels[i++];
        prefix[next] = previous;
        suffix[next] = k;
        if (++next == 4096) {
            full = true;
        } else if ((1 << width) < next) {
            ++width;
        }
        int current = k;
        while (i < pixels.size()) {
            int found = 0;
            for (int code = std::max(firstFree, current + 1); code < next && !found; ++code) {
                if (prefix[code] == current && suffix[code] == pixels[i]) found = code;
            }
            if (!found) break;
            current = found;
            ++i;
        }
        write(current);
        previous = current;
        if (full && i < pixels.size()) {
            write(clear);
            reset();
            write(pixels[i]);
            previous = pixels[i++];
        }
    }
    write(clear + 1);
    if (bits > 0) data.push_back(static_cast<char>(accumulator & 0xFF));
    std::string blocks;
    for (std::size_t at = 0; at < data.size(); at += 255) {
        std::size_t length = std::min<std::size_t>(255, data.size() - at);
        blocks.push_back(static_cast<char>(length));
        blocks.append(data, at, length);
    }
    return blocks;
}

TGifSubImage EncodedImage(const std::vector<std::uint8_t>& pixels, int width, int tableSize) {
    int height = static_cast<int>(pixels.size()) / width;
    TByteArray2D indices(width, height);
    std::copy(pixels.begin(), pixels.end(), indices.Data());
    TGifSubImage image(tableSize);
    image.SetPixels(std::move(indices));
    image.Encode();
    return image;
}

struct TLzwCase {
    const char* Name;
    int TableSize;
    int Width;
    int Height;
    unsigned Seed;
    bool TextLike;
};

class GifLzw : public testing::TestWithParam<TLzwCase> {};

TEST_P(GifLzw, LookupTableGivesTheLinearSearchCodes) {
    const TLzwCase& c = GetParam();
    std::vector<std::uint8_t> pixels;
    if (c.TextLike) {
        TGifBitmap art = TextArt(c.Width, c.Height, c.Seed);
        for (std::uint32_t color : art.Pixels) pixels.push_back(color % 251 % c.TableSize);
    } else {
        std::mt19937 random(c.Seed);
        for (int i = 0; i < c.Width * c.Height; ++i) pixels.push_back(random() % c.TableSize);
    }
    int minimumCodeSize = std::max(2, BitsForSize(c.TableSize));
    EXPECT_EQ(EncodedImage(pixels, c.Width, c.TableSize).Data().SubBlocks(),
              ReferenceSubBlocks(pixels, minimumCodeSize));
}

// Random data fills the table (and clears it) many times over; text-like data makes long strings.
INSTANTIATE_TEST_SUITE_P(Data, GifLzw,
                         testing::Values(TLzwCase{"RandomTwo", 2, 200, 300, 11, false},
                                         TLzwCase{"RandomFour", 4, 300, 100, 12, false},
                                         TLzwCase{"RandomSixteen", 16, 250, 100, 13, false},
                                         TLzwCase{"RandomHundred", 128, 200, 100, 14, false},
                                         TLzwCase{"Random256", 256, 256, 100, 15, false},
                                         TLzwCase{"TextLikeTwo", 2, 320, 160, 16, true},
                                         TLzwCase{"TextLikeSixteen", 16, 640, 320, 17, true},
                                         TLzwCase{"TextLike256", 256, 640, 320, 18, true}),
                         [](const testing::TestParamInfo<TLzwCase>& info) {
                             return info.param.Name;
                         });

struct TSubBlockCase {
    const char* Name;
    std::size_t DataBytes;
    std::vector<int> Lengths;
};

class GifSubBlocks : public testing::TestWithParam<TSubBlockCase> {};

// Finds a random row whose encoded data has exactly the wanted size. Until the table fills, the
// size depends only on the number of codes, so the search varies the code width, not the pixels.
TEST_P(GifSubBlocks, EveryBlockButTheLastHolds255Bytes) {
    const TSubBlockCase& c = GetParam();
    std::string blocks;
    for (int tableSize : {4, 8, 16, 32, 64, 128, 256}) {
        std::mt19937 random(tableSize);
        std::vector<std::uint8_t> pixels;
        while (blocks.empty() && pixels.size() < 4 * c.DataBytes) {
            pixels.push_back(random() % tableSize);
            TGifSubImage image = EncodedImage(pixels, static_cast<int>(pixels.size()), tableSize);
            if (image.Data().Count() == c.DataBytes) blocks = image.Data().SubBlocks();
        }
        if (!blocks.empty()) break;
    }
    ASSERT_FALSE(blocks.empty()) << "no row encodes to " << c.DataBytes << " bytes";
    std::vector<int> lengths;
    for (std::size_t at = 0; at < blocks.size(); at += 1 + static_cast<unsigned char>(blocks[at])) {
        lengths.push_back(static_cast<unsigned char>(blocks[at]));
    }
    EXPECT_EQ(lengths, c.Lengths);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GifSubBlocks,
                         testing::Values(TSubBlockCase{"Bytes254", 254, {254}},
                                         TSubBlockCase{"Bytes255", 255, {255}},
                                         TSubBlockCase{"Bytes256", 256, {255, 1}},
                                         TSubBlockCase{"Bytes510", 510, {255, 255}},
                                         TSubBlockCase{"Bytes511", 511, {255, 255, 1}}),
                         [](const testing::TestParamInfo<TSubBlockCase>& info) {
                             return info.param.Name;
                         });

TEST(GifFile, DataOf255BytesIsOneBlockThenTheTerminator) {
    for (int n = 1; n < 2000; ++n) {
        std::string bytes = Encode(MakeBitmap(n, 1, Noise(4, 21)));
        // Header 13, table 12, descriptor 10, code size 1: the first block length is at 36.
        if (bytes.size() != 36 + 1 + 255 + 2) continue;
        EXPECT_EQ(static_cast<unsigned char>(bytes[36]), 255);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\0;", 2));
        EXPECT_EQ(DecodeWithGiflib(bytes).Width, n);
        return;
    }
    FAIL() << "no row encodes to 255 bytes";
}

double Distance(std::uint32_t a, std::uint32_t b) {
    double sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        double d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        sum += d * d;
    }
    return sum;
}

struct TReduceCase {
    const char* Name;
    int Colors;
};

class GifManyColours : public testing::TestWithParam<TReduceCase> {};

TEST_P(GifManyColours, AreReducedToTheNearestOf256) {
    std::mt19937 random(GetParam().Colors);
    std::vector<std::uint32_t> colors(GetParam().Colors);
    for (auto& color : colors) color = random() & 0xFFFFFF;
    TGifBitmap bitmap = MakeBitmap(
        200, 150, [&](int x, int y) { return colors[(x * 7 + y * 13 + x * y) % colors.size()]; });
    TDecoded decoded = DecodeWithGiflib(Encode(bitmap));
    ASSERT_EQ(decoded.Pixels.size(), bitmap.Pixels.size());
    EXPECT_LE(decoded.Palette.size(), 256u);
    for (std::size_t i = 0; i < bitmap.Pixels.size(); ++i) {
        double best = 1e9;
        for (std::uint32_t entry : decoded.Palette)
            best = std::min(best, Distance(entry, bitmap.Pixels[i]));
        ASSERT_EQ(Distance(decoded.Pixels[i], bitmap.Pixels[i]), best) << "pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, GifManyColours,
                         testing::Values(TReduceCase{"Colours257", 257},
                                         TReduceCase{"Colours300", 300},
                                         TReduceCase{"Colours5000", 5000}),
                         [](const testing::TestParamInfo<TReduceCase>& info) {
                             return info.param.Name;
                         });

class TTempFolder {
public:
    TTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-gif-XXXXXX");
        FPath = mkdtemp(pattern.data());
    }
    ~TTempFolder() { std::filesystem::remove_all(FPath); }
    std::string File(const char* name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

struct TRefusedCase {
    const char* Name;
    TGifBitmap Bitmap;
    const char* Message;
};

class GifRefused : public testing::TestWithParam<TRefusedCase> {};

TEST_P(GifRefused, RaisesAndLeavesTheFileAlone) {
    TTempFolder folder;
    std::string path = folder.File("old.gif");
    WriteFileAtomic(path, "old contents");
    TGifFile file;
    file.AddBitmap(TGifBitmap(GetParam().Bitmap));
    try {
        file.SaveToFile(path);
        FAIL() << "saved";
    } catch (const EGifException& e) {
        EXPECT_STREQ(e.what(), GetParam().Message);
    }
    EXPECT_EQ(ReadWholeFile(path), "old contents");
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, GifRefused,
    testing::Values(
        TRefusedCase{"NoPixels", {0, 0, {}}, "Number of colors (0) wrong; must be a power of 2"},
        TRefusedCase{"NoRows", {5, 0, {}}, "Number of colors (0) wrong; must be a power of 2"},
        TRefusedCase{"TooWide",
                     {70000, 1, std::vector<std::uint32_t>(70000)},
                     "picture of 70000 x 1 pixels is too large for GIF (at most 65535 x 65535)"},
        TRefusedCase{"PixelsMissing",
                     {4, 4, std::vector<std::uint32_t>(15)},
                     "bitmap of 4 x 4 pixels holds 15 pixel values"}),
    [](const testing::TestParamInfo<TRefusedCase>& info) { return info.param.Name; });

TEST(GifFile, WithoutBitmapHasNoColourTableToWrite) {
    TGifFile file;
    std::string bytes;
    try {
        file.SaveToStream(bytes);
        FAIL() << "saved";
    } catch (const EGifException& e) {
        EXPECT_STREQ(e.what(), "unexpected number of colors");
    }
    EXPECT_TRUE(bytes.empty());
}

TEST(GifFile, SavedFileHoldsTheStreamBytesAndSavingAgainRepeatsThem) {
    TTempFolder folder;
    TGifFile file;
    file.AddBitmap(TextArt(160, 96, 31));
    std::string first, second;
    file.SaveToStream(first);
    file.SaveToStream(second);
    file.SaveToFile(folder.File("art.gif"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadWholeFile(folder.File("art.gif")), first);
}

TEST(GifFile, UnwritableTargetRaisesFileError) {
    TGifFile file;
    file.AddBitmap(TGifBitmap{1, 1, {0}});
    EXPECT_THROW(file.SaveToFile("/nonexistent-folder/x.gif"), EFileError);
}

std::vector<float> Reports;
void RecordProgress(float fraction) { Reports.push_back(fraction); }

// Two passes report in turn: colours collected, then pixels encoded; each from 0 up to 1.
TEST(GifFile, ReportsProgressOfBothPasses) {
    Reports.clear();
    TGifProgressRoutine saved = GifProgress;
    GifProgress = RecordProgress;
    Encode(MakeBitmap(300, 300, Noise(256, 41)));
    GifProgress = saved;
    ASSERT_GE(Reports.size(), 4u);
    auto restart = std::find(Reports.begin() + 1, Reports.end(), 0.0f);
    ASSERT_NE(restart, Reports.end());
    EXPECT_EQ(Reports.front(), 0.0f);
    EXPECT_EQ(*(restart - 1), 1.0f);
    EXPECT_EQ(Reports.back(), 1.0f);
    EXPECT_TRUE(std::is_sorted(Reports.begin(), restart));
    EXPECT_TRUE(std::is_sorted(restart, Reports.end()));
}

struct TIndexCase {
    const char* Name;
    int X;
    int Y;
};

class GifByteArray2D : public testing::TestWithParam<TIndexCase> {};

TEST_P(GifByteArray2D, RefusesElementsOutsideTheArray) {
    TByteArray2D array(3, 2);
    EXPECT_THROW(array.At(GetParam().X, GetParam().Y), EIndexOutOfBounds);
    EXPECT_THROW(array.Set(GetParam().X, GetParam().Y, 1), EIndexOutOfBounds);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, GifByteArray2D,
    testing::Values(TIndexCase{"ColumnZero", 0, 1}, TIndexCase{"RowZero", 1, 0},
                    TIndexCase{"PastRowEnd", 4, 1}, TIndexCase{"PastLastRow", 1, 3}),
    [](const testing::TestParamInfo<TIndexCase>& info) { return info.param.Name; });

TEST(GifByteArrays, ElementsCountFromOneRowsFromTheTop) {
    TByteArray2D array(3, 2);
    array.Set(3, 2, 7);
    array.Set(1, 2, 5);
    EXPECT_EQ(array.Data()[5], 7);
    EXPECT_EQ(array.Data()[3], 5);
    EXPECT_EQ(array.At(3, 2), 7);
}

TEST(GifByteArrays, BigArrayRefusesZeroAndPastEnd) {
    TBigByteArray array(4);
    EXPECT_THROW(array.At(0), EIndexOutOfBounds);
    EXPECT_THROW(array.At(5), EIndexOutOfBounds);
    try {
        array.Set(5, 1);
        FAIL() << "set";
    } catch (const EIndexOutOfBounds& e) {
        EXPECT_STREQ(e.what(), "Dynamic array index out of bounds");
    }
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_ASAN 1
#endif
#endif

TEST(GifByteArrays, ImpossibleBlockRaisesNotEnoughMemory) {
#ifdef MORVANE_ASAN
    GTEST_SKIP() << "AddressSanitizer ends the program on an impossible allocation instead of "
                    "failing it";
#endif
    const std::size_t huge = std::size_t{1} << 62;
    try {
        TBigByteArray array(huge);
        FAIL() << "allocated";
    } catch (const ENotEnoughMemory& e) {
        EXPECT_EQ(std::string(e.what()),
                  "error in TBigByteArray.create: Not enough contiguous memory available\r\n"
                  " requested memory block: " +
                      std::to_string(huge) + " bytes");
    }
}

}  // namespace
}  // namespace morvane
