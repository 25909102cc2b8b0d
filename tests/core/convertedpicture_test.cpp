#include "display/raster/convertedpicture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "display/raster/documentpicture.h"
#include "document/abc.h"
#include "document/converter.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

struct TPictureCase {
    const char* Name;
    const char* Format;
};

class ConvertedPictureTest : public testing::TestWithParam<TPictureCase> {};

// Pictures drawn by several threads at once are those drawn one at a time by the viewer's writer.
TEST_P(ConvertedPictureTest, ParallelPicturesAreTheViewersPictures) {
    TTempFolder dir;
    std::vector<std::string> names;
    for (int i = 0; i < 24; ++i) {
        std::string art;
        for (int row = 0; row < 20; ++row) {
            art += "\x1B[1;3" + std::to_string((i + row) % 8) + "m";
            // GB pairs, Big5 pairs and ASCII, so that every thread loads glyphs of both sets.
            art += i % 3 == 0   ? "\xC4\xE3\xBA\xC3 art "
                   : i % 3 == 1 ? "\xA4\xA4\xA4\xE5 art "
                                : "ascii ";
            art += std::to_string(i * 100 + row) + "\r\n";
        }
        names.push_back(dir.Write("a" + std::to_string(i) + (i % 4 ? ".ans" : ".txt"), art));
    }
    names.push_back(dir.Write("plain.txt", "plain text\r\n"));
    const std::string format = GetParam().Format;
    std::string err;
    auto run = [&](const char* jobs, const std::string& out) {
        TConverterIo io;
        io.Err = [&](const std::string& line) { err += line + "\n"; };
        io.TempDir = dir.Path();
        io.WritePicture = WriteConvertedPicture;
        std::vector<std::string> args = {"--to", format, "-j", jobs, "--out-dir", dir.Path() + out};
        args.insert(args.end(), names.begin(), names.end());
        return RunConverter(args, io);
    };
    ASSERT_EQ(run("4", "parallel"), 0) << err;
    for (const std::string& name : names) {
        const std::string stem = std::filesystem::path(name).stem().string() + "." + format;
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(name));
        SaveDocumentPicture(doc, dir.Path() + stem, *PictureFormatNamed(format));
        EXPECT_EQ(dir.Read("parallel/" + stem), dir.Read(stem)) << stem;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertedPictureTest,
                         testing::Values(TPictureCase{"Png", "png"}, TPictureCase{"Gif", "gif"},
                                         TPictureCase{"Bmp", "bmp"}),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace morvane
