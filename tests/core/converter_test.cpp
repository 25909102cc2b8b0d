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
    Dir.Write("notes.doc", std::string("\xD0\xCF\x11\xE0\0\0", 6));
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
    EXPECT_NE(err.find("notes.doc: is not a text-art file: it holds binary data"), std::string::npos) << err;
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

// Faults a user met: each row is a folder of files, a command line ("@" stands for the folder)
// and what must come of it.
struct TFaultCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;
    std::vector<std::string> Args;
    int Status;
    std::vector<std::string> Said = {};                             // in stderr, each
    std::vector<std::pair<std::string, std::string>> Written = {};  // file, bytes it holds
    std::vector<std::pair<std::string, std::string>> Kept = {};     // file, its bytes afterwards
};

void PrintTo(const TFaultCase& c, std::ostream* os) { *os << c.Name; }

std::string ColouredLines(int count, int longLast = 0) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += "\x1B[3" + std::to_string(1 + i % 7) + "mrow " + std::to_string(i);
        if (i == count && longLast) text += std::string(longLast, 'x');
        text += "\r\n";
    }
    return text;
}

class ConverterFaultTest : public ConverterTest, public testing::WithParamInterface<TFaultCase> {};

TEST_P(ConverterFaultTest, IsMended) {
    const TFaultCase& c = GetParam();
    for (const auto& [name, bytes] : c.Files) {
        if (name.back() == '/')
            ASSERT_EQ(mkdir((Dir.Path() + name).c_str(), 0700), 0);
        else
            Dir.Write(name, bytes);
    }
    std::vector<std::string> args;
    for (const std::string& arg : c.Args) args.push_back(arg[0] == '@' ? In(arg.substr(1)) : arg);
    EXPECT_EQ(Run(args), c.Status) << Err.str();
    for (const std::string& said : c.Said)
        EXPECT_NE(Err.str().find(said), std::string::npos) << said << "\n" << Err.str();
    EXPECT_EQ(Err.str().find('\x1B'), std::string::npos) << "a raw ESC reached the terminal";
    for (const auto& [name, bytes] : c.Written) {
        ASSERT_TRUE(FileExists(In(name))) << name;
        EXPECT_NE(Dir.Read(name).find(bytes), std::string::npos) << name << " lacks " << bytes;
    }
    for (const auto& [name, bytes] : c.Kept) EXPECT_EQ(Dir.Read(name), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ConverterFaultTest,
    testing::Values(
        // A 300-line board lost rows 81 to 300 from its page and colour file.
        TFaultCase{"PageHoldsEveryRow",
                   {{"board.ans", ColouredLines(300)}},
                   {"--to", "htm", "@board.ans"},
                   0,
                   {},
                   {{"board.htm", "<font color=\"#000080\">row&nbsp;150</font><br>\r\n"},
                    {"board.htm", "<font color=\"#C0C0C0\">row&nbsp;300</font>\r\n"}}},
        TFaultCase{"ColourFileHoldsEveryRow",
                   {{"board.ans", ColouredLines(300)}},
                   {"--to", "clo", "@board.ans", "-o", "@board.clo"},
                   0,
                   {},
                   {{"board.clo", "300\r\n7\r\n#1\r\n"}}},
        TFaultCase{
            "LinesPastThePictureAreTold",
            {{"long.ans", ColouredLines(600)}},
            {"--to", "htm", "@long.ans"},
            0,
            {"warning: \"long.ans\" has 600 lines: the picture and the page end at line 553"},
            {{"long.htm", "<font color=\"#800000\">row&nbsp;553</font>\r\n"}}},
        TFaultCase{"BatchOutputWouldReplaceAnInput",
                   {{"b.ans", "\x1B[31mansi\r\n"}, {"b.txt", "\x1B[32mthe user's own\r\n"}},
                   {"--to", "txt", "@b.ans", "@b.txt"},
                   1,
                   {"b.ans: \"", "b.txt\" is also being converted", "is the file being converted"},
                   {},
                   {{"b.txt", "\x1B[32mthe user's own\r\n"}}},
        TFaultCase{"TwoFilesOneOutput",
                   {{"a.txt", "one\r\n"}, {"a.ans", "two\r\n"}},
                   {"--to", "htm", "@a.txt", "@a.ans"},
                   1,
                   {"a.htm\" is written for"},
                   {{"a.htm", "one<br>"}}},
        TFaultCase{"NulByteIsAWarningWithItsOffset",
                   {{"nul.txt", std::string("ab\0cd\r\n", 7)}},
                   {"--to", "htm", "@nul.txt"},
                   0,
                   {"nul.txt: warning: \"nul.txt\": the text ends at a NUL byte at offset 2"},
                   {{"nul.htm", "ab<br>"}}},
        TFaultCase{"MissingFileIsNotFound",
                   {},
                   {"--to", "htm", "@gone.txt"},
                   1,
                   {"gone.txt: no such file"}},
        TFaultCase{"FolderSaysSo",
                   {{"art.txt/", ""}},
                   {"--to", "htm", "@art.txt"},
                   1,
                   {"art.txt: is a folder"}},
        TFaultCase{"EmptyColourFileSaysSo",
                   {{"e.txt", "text\r\n"}, {"e.clo", ""}},
                   {"--to", "htm", "@e.clo"},
                   1,
                   {"\"e.clo\" is empty"}},
        TFaultCase{"ColourFileWithoutItsText",
                   {{"lone.clo", "1\r\n1\r\n#1\r\n*1\r\n255\r\n"}},
                   {"--to", "htm", "@lone.clo"},
                   0,
                   {"warning: \"lone.clo\" has no text part \"lone.txt\" beside it"}},
        TFaultCase{"BadColourFileNamesFileAndLine",
                   {{"bad.txt", "AB\r\n"}, {"bad.clo", "1\r\n2\r\n#1\r\n@\r\n*2\r\nnavy\r\n"}},
                   {"--to", "htm", "@bad.clo"},
                   1,
                   {"ColorLoad Error2! \"bad.clo\", line 6: a colour number was expected after "
                    "\"*2\" (row 1, cell 2), found \"navy\".",
                    "bad.clo: not converted"}},
        TFaultCase{"DashDashEndsTheOptions",
                   {{"-dash.txt", "dash\r\n"}},
                   {"--to", "htm", "--", "@-dash.txt"},
                   0,
                   {},
                   {{"-dash.htm", "dash<br>"}}},
        TFaultCase{"DashFileBeforeDashDashIsAnOption",
                   {},
                   {"--to", "htm", "-dash.txt"},
                   2,
                   {"unknown option -dash.txt"}},
        TFaultCase{"ControlBytesInNamesAreEscaped",
                   {},
                   {"--to", "htm", "@evil\x1B[2J\nname.txt"},
                   1,
                   {"evil\\x1b[2J\\x0aname.txt: no such file"}},
        // Big5 art gets a Big5 page, its title in Big5 too; the reading can be chosen.
        TFaultCase{"BigFivePageIsDeclaredSo",
                   {{"\xE5\x8F\xB0.txt", "\x1B[1;33m\xA4\xA4\xA4\xE5\xAA\xA9\xC5\x76\r\n"}},
                   {"--to", "htm", "@\xE5\x8F\xB0.txt"},
                   0,
                   {},
                   {{"\xE5\x8F\xB0.htm", "charset=big5\">"},
                    {"\xE5\x8F\xB0.htm", "size=12 >\xA5\x78.txt</font>"}}},
        TFaultCase{"EncodingChosenByHand",
                   {{"b.txt", "\xA4\xA4\xA4\xE5\xAA\xA9\xC5\x76\r\n"}},
                   {"--to", "htm", "--encoding", "gb", "@b.txt"},
                   0,
                   {},
                   {{"b.htm", "charset=gb2312\">"}}},
        TFaultCase{"UnknownEncoding", {}, {"--to", "htm", "--encoding", "utf8", "@b.txt"}, 2,
                   {"--encoding must be auto, gb, big5 or utf-8"}},
        // The page is GB2312: a UTF-8 name read as GB bytes was garbled.
        TFaultCase{"TitleIsInThePagesEncoding",
                   {{"\xE4\xB8\xAD\xE6\x96\x87.txt", "text\r\n"}},
                   {"--to", "htm", "@\xE4\xB8\xAD\xE6\x96\x87.txt"},
                   0,
                   {},
                   {{"\xE4\xB8\xAD\xE6\x96\x87.htm", "size=12 >\xD6\xD0\xCE\xC4.txt</font>"}}}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ConverterTest, WidthSurvivesTextToColourToColour) {
    // 81 lines, the last the longest: the text gave 2 columns, its colour file 150.
    Dir.Write("wide.ans", ColouredLines(81, 140));
    ASSERT_EQ(Run({"--to", "clo", In("wide.ans"), "-o", In("w1.clo")}), 0) << Err.str();
    ASSERT_EQ(Run({"--to", "clo", In("w1.clo"), "-o", In("w2.clo")}), 0) << Err.str();
    EXPECT_EQ(Dir.Read("w1.clo").substr(0, 9), "81\r\n146\r\n");
    EXPECT_EQ(Dir.Read("w2.clo"), Dir.Read("w1.clo"));
    EXPECT_EQ(Dir.Read("w2.txt"), Dir.Read("w1.txt"));
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
                    TUsageCase{"BothOutputs", {"--to", "htm", "a.txt", "-o", "x", "--out-dir", "d"}},
                    TUsageCase{"NoConversionsAtOnce", {"--to", "htm", "-j", "0", "a.txt"}},
                    TUsageCase{"ConversionsNotANumber", {"--to", "htm", "-j2x", "a.txt"}},
                    TUsageCase{"NulEndsWithoutAList", {"--to", "htm", "-0", "a.txt"}},
                    TUsageCase{"OutputForAFolder", {"--to", "htm", "-r", "art", "-o", "x"}},
                    TUsageCase{"OutputForAList", {"--to", "htm", "--files-from", "l", "-o", "x"}}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace morvane
