// The desktop thumbnailer run as the file managers run it, its PNG read back with libpng.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testfiles.h"

extern char** environ;

namespace morvane {
namespace {

// The exit status of the thumbnailer run with args; -1 when it could not be run.
int RunThumbnailer(const std::vector<std::string>& args) {
    std::vector<std::string> all = {MORVANE_THUMBNAILER};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

struct TPngSize {
    bool Valid = false;
    int Width = 0;
    int Height = 0;
};

// Decodes the whole file, so a damaged one is found out.
TPngSize ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return {true, static_cast<int>(image.width), static_cast<int>(image.height)};
}

const std::string kEsc = "\x1b[";

std::string Screen(int rows) {
    std::string text;
    for (int r = 0; r < rows; ++r)
        text += kEsc + "3" + std::to_string(r % 8) + "m" + std::string(78, 'a' + r % 26) + kEsc +
                "m\r\n";
    return text;
}

struct TGoodCase {
    const char* Name;
    const char* File;
    std::string Bytes;
    int Size;
    int Width, Height;
};

class ThumbnailerTest : public testing::TestWithParam<TGoodCase> {
protected:
    test::TTempFolder FFolder;
};

TEST_P(ThumbnailerTest, WritesAPngWhoseLargerSideIsTheSize) {
    const TGoodCase& c = GetParam();
    const std::string input = FFolder.Write(c.File, c.Bytes);
    const std::string output = FFolder.Path() + "out.png";
    ASSERT_EQ(RunThumbnailer({"-s", std::to_string(c.Size), input, output}), 0);
    const TPngSize png = ReadPng(output);
    ASSERT_TRUE(png.Valid);
    EXPECT_EQ(png.Width, c.Width);
    EXPECT_EQ(png.Height, c.Height);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailerTest,
    testing::Values(
        // 78 bytes by 25 rows: 624 x 400 pixels.
        TGoodCase{"Screen", "screen.ans", Screen(25), 128, 128, 82},
        // 624 x 1600 pixels.
        TGoodCase{"Tall", "tall.txt", Screen(100), 256, 99, 256},
        TGoodCase{"Big5", "big5.txt", kEsc + "31m\xA4\xA4\xA4\xE5" + kEsc + "m\r\n", 64, 64, 32},
        // 16 x 16 pixels, made larger.
        TGoodCase{"Small", "small.txt", "hi\r\n", 256, 256, 256},
        // Drawn as the text view draws it, with its margins.
        TGoodCase{"PlainText", "plain.txt", "plain text\r\n", 100, 100, 20}),
    [](const testing::TestParamInfo<TGoodCase>& info) { return std::string(info.param.Name); });

struct TBadCase {
    const char* Name;
    std::vector<std::string> Args;  // "IN" and "OUT" stand for the input and output files
};

class ThumbnailerFailureTest : public testing::TestWithParam<TBadCase> {
protected:
    test::TTempFolder FFolder;
};

TEST_P(ThumbnailerFailureTest, FailsAndWritesNothing) {
    const std::string art = FFolder.Write("art.txt", Screen(2));
    FFolder.Write("page.htm", "<p>page</p>");
    FFolder.Write("empty.txt", "");
    const std::string output = FFolder.Path() + "out.png";
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().Args)
        args.push_back(arg == "OUT" ? output : arg == "IN" ? art : FFolder.Path() + arg);
    EXPECT_NE(RunThumbnailer(args), 0);
    EXPECT_FALSE(std::filesystem::exists(output));
}

INSTANTIATE_TEST_SUITE_P(Cases, ThumbnailerFailureTest,
                         testing::Values(TBadCase{"Missing", {"-s", "128", "missing.txt", "OUT"}},
                                         TBadCase{"Page", {"-s", "128", "page.htm", "OUT"}},
                                         TBadCase{"Empty", {"-s", "128", "empty.txt", "OUT"}},
                                         TBadCase{"Folder", {"-s", "128", "", "OUT"}},
                                         TBadCase{"SizeZero", {"-s", "0", "IN", "OUT"}},
                                         TBadCase{"SizeNotANumber", {"-s", "big", "IN", "OUT"}},
                                         TBadCase{"NoSize", {"IN", "OUT"}},
                                         TBadCase{"NoOutput", {"-s", "128", "IN"}}),
                         [](const testing::TestParamInfo<TBadCase>& info) {
                             return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace morvane
