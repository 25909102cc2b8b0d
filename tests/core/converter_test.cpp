#include "document/converter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

class ConverterTest : public testing::Test {
protected:
    TTempFolder Dir;
    TTempFolder Scratch;
    std::ostringstream Err;
    std::function<void(const std::string&)> ErrLine = [this](const std::string& line) {
        Err << line << '\n';
    };

    int Run(std::vector<std::string> args) { return RunConverter(args, ErrLine, Scratch.Path()); }
    std::string In(const std::string& name) const { return Dir.Path() + name; }
};

TEST_F(ConverterTest, ConvertsAMixedFolderAndNamesTheBadFiles) {
    Dir.Write("ansi.ans", "\x1B[31mred\x1B[m\r\n");
    Dir.Write("plain.txt", "plain\r\n");
    Dir.Write("pair.txt", "AB\r\n");
    Dir.Write("pair.clo", "1\r\n2\r\n#1\r\n*1\r\n255\r\n@\r\n");
    Dir.Write("page.htm", "<p>page</p>");
    Dir.Write("broken.clo", "1\r\n1\r\n#x\r\n");
    Dir.Write("notes.doc", "not art");
    const std::string out = Dir.Path() + "out";
    const int status = Run({"--to", "htm", In("ansi.ans"), In("plain.txt"), In("pair.clo"),
                            In("page.htm"), In("broken.clo"), In("missing.txt"), In("notes.doc"),
                            "--out-dir", out});
    EXPECT_EQ(status, 1);
    EXPECT_NE(Dir.Read("out/ansi.htm").find("<font color=\"#800000\">red</font>"),
              std::string::npos);
    EXPECT_NE(Dir.Read("out/plain.htm").find("plain<br>"), std::string::npos);
    EXPECT_NE(Dir.Read("out/pair.htm").find("<font color=\"#FF0000\">A</font>B"),
              std::string::npos);
    EXPECT_EQ(Dir.Read("out/page.htm"), "<p>page</p>");
    EXPECT_FALSE(FileExists(Dir.Path() + "out/broken.htm"));
    const std::string err = Err.str();
    EXPECT_NE(err.find("broken.clo: Lost:\"#\"! \"broken.clo\", line 3: the cell mode \"#1\" or "
                       "\"#2\" was expected, found \"#x\"."),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("broken.clo: not converted"), std::string::npos) << err;
    EXPECT_NE(err.find("missing.txt: no such file"), std::string::npos) << err;
    EXPECT_NE(err.find("notes.doc: is not a text-art file"), std::string::npos) << err;
    EXPECT_EQ(err.find("ansi.ans"), std::string::npos) << err;
}

TEST_F(ConverterTest, WritesTheFormatsOfTheSaveCommands) {
    Dir.Write("a.ans", "\x1B[32mgo\x1B[m\r\n");
    ASSERT_EQ(Run({"--to", "txt", In("a.ans"), "-o", In("t.txt")}), 0) << Err.str();
    EXPECT_EQ(Dir.Read("t.txt"), "go\r\n");
    ASSERT_EQ(Run({"--to", "clo", In("a.ans"), "-o", In("c.clo")}), 0) << Err.str();
    EXPECT_EQ(Dir.Read("c.txt"), "go\r\n");
    EXPECT_EQ(Dir.Read("c.clo"), "1\r\n2\r\n#1\r\n*1\r\n32768\r\n*1\r\n32768\r\n");
    ASSERT_EQ(Run({"--to", "htm", In("a.ans")}), 0) << Err.str();
    EXPECT_TRUE(FileExists(In("a.htm")));
}

TEST_F(ConverterTest, BigPageSpillsIntoAScratchFileThatLeavesNothingBehind) {
    std::string art;
    for (int r = 0; r < 80; ++r) {
        for (int c = 0; c < 200; ++c) art += (c % 2 ? "\x1B[31mx" : "\x1B[32mx");
        art += "\r\n";
    }
    Dir.Write("big.ans", art);
    ASSERT_EQ(Run({"--to", "htm", In("big.ans")}), 0) << Err.str();
    const std::string page = Dir.Read("big.htm");
    size_t fonts = 0;
    for (size_t at = page.find("<font"); at != std::string::npos; at = page.find("<font", at + 1))
        ++fonts;
    EXPECT_EQ(fonts, 16000u + 2);  // every cell, the table's own and the title's
    EXPECT_NE(page.find("</td></tr></table></div></BODY></HTML>"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(Scratch.Path())) << "scratch file left behind";
}

TEST_F(ConverterTest, NeverWritesOverItsOwnInput) {
    const std::string original = "\x1B[31mcoloured\r\n";
    Dir.Write("a.txt", original);
    EXPECT_EQ(Run({"--to", "txt", In("a.txt")}), 1);
    EXPECT_EQ(Run({"--to", "clo", In("a.txt")}), 1);
    EXPECT_EQ(Dir.Read("a.txt"), original);
    EXPECT_NE(Err.str().find("is the file being converted"), std::string::npos) << Err.str();
}

TEST_F(ConverterTest, ColourOutputMustBeAColourFile) {
    Dir.Write("a.ans", "x\r\n");
    EXPECT_EQ(Run({"--to", "clo", In("a.ans"), "-o", In("pair")}), 1);
    EXPECT_NE(Err.str().find("must end in .clo"), std::string::npos) << Err.str();
    EXPECT_EQ(Run({"--to", "clo", In("a.ans"), "-o", In("PAIR.CLO")}), 0) << Err.str();
    EXPECT_TRUE(FileExists(In("PAIR.txt")));
}

TEST_F(ConverterTest, HtmlPagesConvertOnlyToHtml) {
    Dir.Write("p.html", "<p>x</p>");
    EXPECT_EQ(Run({"--to", "txt", In("p.html"), "-o", In("p.txt")}), 1);
    EXPECT_FALSE(FileExists(In("p.txt")));
    EXPECT_NE(Err.str().find("p.html: an HTML page converts only to htm"), std::string::npos);
}

struct TUsageCase {
    const char* Name;
    std::vector<std::string> Args;
};

class ConverterUsageTest : public ConverterTest, public testing::WithParamInterface<TUsageCase> {};

TEST_P(ConverterUsageTest, BadArgumentsExitWithUsage) {
    EXPECT_EQ(Run(GetParam().Args), 2);
    EXPECT_NE(Err.str().find("usage: morvane-convert"), std::string::npos) << Err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ConverterUsageTest,
    testing::Values(TUsageCase{"NoFormat", {"a.txt"}},
                    TUsageCase{"UnknownFormat", {"--to", "pdf", "a.txt"}},
                    TUsageCase{"NoFiles", {"--to", "htm"}},
                    TUsageCase{"MissingValue", {"a.txt", "--to"}},
                    TUsageCase{"OutputForSeveralFiles", {"--to", "htm", "a.txt", "b.txt", "-o", "x"}},
                    TUsageCase{"BothOutputs", {"--to", "htm", "a.txt", "-o", "x", "--out-dir", "d"}}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace morvane
