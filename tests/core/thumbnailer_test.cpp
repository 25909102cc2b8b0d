// The desktop thumbnailer run as the file managers run it, its PNG read back with libpng.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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

// An output path that is a link is replaced: the thumbnailer never writes where it leads.
struct TLinkedOutputCase {
    const char* Name;
    // Where the link at the output leads, in another folder; it exists when Existing.
    const char* LinkTarget;
    bool Existing;
};

void PrintTo(const TLinkedOutputCase& c, std::ostream* os) { *os << c.Name; }

class ThumbnailerLinkedOutputTest : public testing::TestWithParam<TLinkedOutputCase> {
protected:
    test::TTempFolder FFolder;
    test::TTempFolder FVictims;
};

TEST_P(ThumbnailerLinkedOutputTest, ReplacesTheLinkAndLeavesWhereItLeads) {
    const TLinkedOutputCase& c = GetParam();
    const std::string input = FFolder.Write("art.txt", Screen(2));
    const std::string victim = FVictims.Path() + c.LinkTarget;
    if (c.Existing) FVictims.Write(c.LinkTarget, "victim's own");
    const std::string output = FFolder.Path() + "out.png";
    ASSERT_EQ(symlink(victim.c_str(), output.c_str()), 0);
    ASSERT_EQ(RunThumbnailer({"-s", "64", input, output}), 0);
    struct stat st {};
    ASSERT_EQ(lstat(output.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_TRUE(ReadPng(output).Valid);
    if (c.Existing) {
        EXPECT_EQ(FVictims.Read(c.LinkTarget), "victim's own");
    } else {
        EXPECT_FALSE(std::filesystem::exists(victim));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailerLinkedOutputTest,
    testing::Values(TLinkedOutputCase{"LinkToAFile", "victim", true},
                    TLinkedOutputCase{"LinkToNothingYet", "planted.png", false}),
    [](const testing::TestParamInfo<TLinkedOutputCase>& info) {
        return std::string(info.param.Name);
    });

// A colour file's other half may be a link only within the pair's folder.
struct TLinkedPartCase {
    const char* Name;
    // The file given to the thumbnailer, and the other half, which is a link to LinkTarget.
    const char* Input;
    const char* LinkedPart;
    // Where the link leads: "IN/" stands for the pair's folder, "OUT/" for another one.
    const char* LinkTarget;
    bool Drawn;
};

void PrintTo(const TLinkedPartCase& c, std::ostream* os) { *os << c.Name; }

class ThumbnailerLinkedPartTest : public testing::TestWithParam<TLinkedPartCase> {
protected:
    test::TTempFolder FFolder;
    test::TTempFolder FElsewhere;
};

TEST_P(ThumbnailerLinkedPartTest, DrawsOnlyALinkWithinTheFolder) {
    const TLinkedPartCase& c = GetParam();
    const std::string colours = "1\r\n6\r\n#1\r\n*1\r\n255\r\n";
    const std::string text = "secret\r\n";
    ASSERT_EQ(mkdir((FFolder.Path() + "sub").c_str(), 0700), 0);
    // Both halves stand in both places, so only where the link leads differs.
    for (const std::string& folder : {FFolder.Path(), FFolder.Path() + "sub/", FElsewhere.Path()}) {
        std::ofstream(folder + "real.txt", std::ios::binary) << text;
        std::ofstream(folder + "real.clo", std::ios::binary) << colours;
    }
    FFolder.Write(std::string("art.") + (std::string(c.LinkedPart) == "txt" ? "clo" : "txt"),
                  std::string(c.LinkedPart) == "txt" ? colours : text);
    std::string target = c.LinkTarget;
    if (target.rfind("IN/", 0) == 0) target = FFolder.Path() + target.substr(3);
    if (target.rfind("OUT/", 0) == 0) target = FElsewhere.Path() + target.substr(4);
    const std::string linked = FFolder.Path() + "art." + c.LinkedPart;
    ASSERT_EQ(symlink(target.c_str(), linked.c_str()), 0);
    const std::string output = FFolder.Path() + "out.png";
    const int status = RunThumbnailer({"-s", "64", FFolder.Path() + c.Input, output});
    EXPECT_EQ(status == 0, c.Drawn);
    EXPECT_EQ(ReadPng(output).Valid, c.Drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailerLinkedPartTest,
    testing::Values(
        TLinkedPartCase{"TextLinkedWithinTheFolder", "art.clo", "txt", "real.txt", true},
        TLinkedPartCase{"TextLinkedByAPathBackIn", "art.clo", "txt", "IN/sub/../real.txt", true},
        TLinkedPartCase{"TextLinkedFromAnotherFolder", "art.clo", "txt", "OUT/real.txt", false},
        TLinkedPartCase{"TextLinkedFromASubfolder", "art.clo", "txt", "sub/real.txt", false},
        TLinkedPartCase{"ColoursLinkedFromAnotherFolder", "art.txt", "clo", "OUT/real.clo",
                        false}),
    [](const testing::TestParamInfo<TLinkedPartCase>& info) {
        return std::string(info.param.Name);
    });

}  // namespace
}  // namespace morvane
