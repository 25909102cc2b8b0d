#include <gtest/gtest.h>

#include "document/abc.h"
#include "document/htmlescape.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "submission/sendvalues.h"
#include "submission/submissionpage.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::CrLf;
using test::TTempFolder;

TEST(RoundHalfEvenTest, HalfwayGoesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(685, 100), 7);      // 6.85
    EXPECT_EQ(RoundHalfEven(6850, 100), 68);    // 68.5
    EXPECT_EQ(RoundHalfEven(20550, 100), 206);  // 205.5
    EXPECT_EQ(RoundHalfEven(5, 2), 2);
    EXPECT_EQ(RoundHalfEven(7, 2), 4);
    EXPECT_EQ(RoundHalfEven(55485, 100), 555);  // 554.85
    EXPECT_EQ(RoundHalfEven(66906, 100), 669);  // 669.06
    EXPECT_EQ(RoundHalfEven(0, 100), 0);
}

struct TValueCase {
    const char* Name;
    int Columns;
    int Rows;
    bool Wide;
    bool TextView;
    const char* WideFlag;
    std::int64_t CellsPerRow;
    std::int64_t WidthEstimate;
    std::int64_t SecondWidth;
    std::int64_t Height;
    const char* Background;
    const char* TextColorAttr;
};

class SendValuesTest : public testing::TestWithParam<TValueCase> {};

TEST_P(SendValuesTest, ComputesTheTemplateValues) {
    const TValueCase& c = GetParam();
    Tabc doc;
    doc.FColCount = c.Columns;
    doc.FRowCount = c.Rows;
    doc.FWideCells = c.Wide;
    const TSendValues values = ComputeSendValues(doc, c.TextView, "me");
    EXPECT_EQ(values.WideFlag, c.WideFlag);
    EXPECT_EQ(values.CellsPerRow, c.CellsPerRow);
    EXPECT_EQ(values.WidthEstimate, c.WidthEstimate);
    EXPECT_EQ(values.SecondWidth, c.SecondWidth);
    EXPECT_EQ(values.Height, c.Height);
    EXPECT_EQ(values.Rows, c.Rows);
    EXPECT_EQ(values.Colors.Background, c.Background);
    EXPECT_EQ(values.Colors.BackgroundAttr, std::string(" bgcolor=\"") + c.Background + "\"");
    EXPECT_EQ(values.Colors.TextColorAttr, c.TextColorAttr);
    EXPECT_EQ(values.UserId, "me");
}

const char kWhiteText[] = " style=\"color:#FFFFFF\"";

INSTANTIATE_TEST_SUITE_P(
    Table, SendValuesTest,
    testing::Values(
        TValueCase{"Narrow80By25", 80, 25, false, false, "false", 80, 555, 669, 416, "#000000",
                   kWhiteText},
        TValueCase{"Wide80By25", 80, 25, true, false, "true", 40, 998, 669, 416, "#000000",
                   kWhiteText},
        TValueCase{"NarrowHalfway9", 9, 1, false, false, "false", 9, 68, 83, 32, "#000000",
                   kWhiteText},
        TValueCase{"NarrowHalfway29", 29, 1, false, false, "false", 29, 206, 248, 32, "#000000",
                   kWhiteText},
        TValueCase{"WideHalfway5", 5, 1, true, false, "true", 2, 74, 50, 32, "#000000", kWhiteText},
        TValueCase{"WideHalfway7", 7, 1, true, false, "true", 4, 99, 66, 32, "#000000", kWhiteText},
        TValueCase{"TextView", 80, 25, false, true, "false", 80, 555, 669, 416, "#FFFFFF", ""},
        TValueCase{"Widest200By80", 200, 80, false, false, "false", 200, 1377, 1660, 1296,
                   "#000000", kWhiteText},
        TValueCase{"Empty", 0, 0, false, false, "false", 0, 7, 8, 16, "#000000", kWhiteText}),
    [](const auto& info) { return info.param.Name; });

struct TSubstituteCase {
    const char* Name;
    std::string Line;
    std::string Value;
    std::string Result;
};

class SubstituteLineTest : public testing::TestWithParam<TSubstituteCase> {};

TEST_P(SubstituteLineTest, PutsTheValueAfterFourteenCharacters) {
    EXPECT_EQ(SubstituteLine(GetParam().Line, GetParam().Value), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SubstituteLineTest,
    testing::Values(TSubstituteCase{"Height", "h<table height=>", "416", "<table height=416>"},
                    TSubstituteCase{"LetterAlone", "c", "true", "true"},
                    TSubstituteCase{"ShortLine", "vcols=", "40", "cols=40"},
                    TSubstituteCase{"FifteenCharacters", "o<input value=\"", "25",
                                    "<input value=\"25"},
                    TSubstituteCase{"EmptyValueDropsTheLetter", "a<b>any text at all</b>", "",
                                    "<b>any text at all</b>"},
                    TSubstituteCase{"GbBytesCountAsBytes", "p\xD6\xD0\xCE\xC4 1234567890|tail", "X",
                                    "\xD6\xD0\xCE\xC4 123456789X0|tail"}),
    [](const auto& info) { return info.param.Name; });

// A two-row document: a red "A" and a plain "B<" in the first row, "C" in the second.
class SubmissionPageTest : public testing::Test {
  protected:
    TTempFolder Dir;
    Tabc Doc;
    TSendValues Values;
    std::vector<std::string> Table;

    void SetUp() override {
        Doc.SetTempDir(Dir.Path());
        Doc.FKind = dkText;
        Doc.FHasEscapes = true;
        Doc.FWideCells = false;
        Doc.FLines = {"AB<", "C"};
        Doc.FRowCount = 2;
        Doc.FColCount = 3;
        Doc.SizeGrid(2);
        Doc.FMarked[0][1] = true;
        Doc.FCells[0][1] = {0x0000FF, 0};
        Values = ComputeSendValues(Doc, false, "user");
        Table = {
            "<table border=\"0\"> <tr BGCOLOR=\"#00000\"><td class=\"quillet\"><font "
            "color=\"#eeeeee\"> ",
            "<font color=\"#FF0000\">A</font>B&lt;<br>", "C", "</font></td></tr></table>"};
    }

    std::vector<std::string> Fill(const std::vector<std::string>& templateLines) {
        return SplitTextLines(FillSubmissionPage(CrLf(templateLines), Values, Doc));
    }

    // Every cell a colour of its own: a line per cell, far more than the list keeps.
    void MakeLarge() {
        Doc.FLines.assign(80, std::string(200, 'x'));
        Doc.FRowCount = 80;
        Doc.FColCount = 200;
        Doc.SizeGrid(80);
        for (int r = 0; r < 80; ++r)
            for (int c = 1; c <= 200; ++c) {
                Doc.FMarked[r][c] = true;
                Doc.FCells[r][c] = {(r * 200 + c) % 2 ? 0x000080 : 0x008000, 0};
            }
    }

    std::vector<std::string> Escaped() const {
        std::vector<std::string> lines;
        for (const std::string& line : Table) lines.push_back(HtmlEscape(line, hemAttr));
        return lines;
    }
};

struct TSelectorCase {
    const char* Name;
    std::string Line;
    std::string Written;
};

class SelectorTest : public SubmissionPageTest,
                     public testing::WithParamInterface<TSelectorCase> {};

TEST_P(SelectorTest, WritesWhatItsFirstCharacterSays) {
    EXPECT_EQ(FillSubmissionPage(GetParam().Line + "\r\n", Values, Doc),
              GetParam().Written + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Letters, SelectorTest,
    testing::Values(
        TSelectorCase{"a", "a<p>any text</p>", "<p>any text</p>"},
        TSelectorCase{"b", "b<body id=\"top\"> x", "<body id=\"top\" bgcolor=\"#000000\"> x"},
        TSelectorCase{"c", "c<input value=\"\">", "<input value=\"false\">"},
        TSelectorCase{"f", "f<div id=\"pic1\">", "<div id=\"pic1\" style=\"color:#FFFFFF\">"},
        TSelectorCase{"h", "h<table height=>", "<table height=48>"},
        TSelectorCase{"o", "o<input value=\"\">", "<input value=\"2\">"},
        TSelectorCase{"p", "p<input value=\"\">", "<input value=\"user\">"},
        TSelectorCase{"r", "r<input value=\"\">", "<input value=\"#000000\">"},
        TSelectorCase{"t", "t<table width=\"\">", "<table width=\"27\">"},
        TSelectorCase{"v", "v<input value=\"\">", "<input value=\"3\">"},
        TSelectorCase{"w", "w<input value=\"\">", "<input value=\"33\">"},
        TSelectorCase{"Capital", "B<body id=\"top\">", "B<body id=\"top\">"},
        TSelectorCase{"Digit", "1<input value=\"\">", "1<input value=\"\">"},
        TSelectorCase{"Angle", "<html><body>", "<html><body>"},
        TSelectorCase{"Blank", " s lines start here", " s lines start here"},
        TSelectorCase{"OtherLetter", "x<input value=\"\">", "x<input value=\"\">"}),
    [](const auto& info) { return info.param.Name; });

TEST_F(SubmissionPageTest, TableLinesAsTheyAreAndEscaped) {
    std::vector<std::string> expected = {"<pre>"};
    expected.insert(expected.end(), Table.begin(), Table.end());
    expected.push_back("<script>");
    const std::vector<std::string> escaped = Escaped();
    expected.insert(expected.end(), escaped.begin(), escaped.end());
    expected.push_back("</script>");
    EXPECT_EQ(Fill({"<pre>", "s the table", "<script>", "i escaped", "</script>"}), expected);
    EXPECT_EQ(escaped[1], "&lt;font color=&quot;#FF0000&quot;&gt;A&lt;/font&gt;B&lt;&lt;br&gt;");
}

TEST_F(SubmissionPageTest, LinesAfterTheEndLineNeverReachThePage) {
    EXPECT_EQ(Fill({"<p>one</p>", "e", "<p>two</p>", "s", "c"}),
              (std::vector<std::string>{"<p>one</p>"}));
    EXPECT_EQ(Fill({"<p>one</p>", "end of the page", "<p>two</p>"}),
              (std::vector<std::string>{"<p>one</p>"}));
}

TEST_F(SubmissionPageTest, EscapedLinesBeforeAnyTableWriteNothing) {
    // A table built earlier, one that spilled, is not this page's.
    MakeLarge();
    std::vector<std::string> earlier;
    Doc.BuildHtmlLines(earlier);
    ASSERT_TRUE(Doc.FSpilled);
    EXPECT_EQ(Fill({"<p>", "i", "</p>"}), (std::vector<std::string>{"<p>", "</p>"}));
}

TEST_F(SubmissionPageTest, TwoTableLinesWriteTheTableTwice) {
    std::vector<std::string> expected = Table;
    expected.insert(expected.end(), Table.begin(), Table.end());
    const std::vector<std::string> escaped = Escaped();
    expected.insert(expected.end(), escaped.begin(), escaped.end());
    EXPECT_EQ(Fill({"s", "s", "i"}), expected);
}

TEST_F(SubmissionPageTest, TemplateWithoutEndLineEndsAtItsEnd) {
    EXPECT_EQ(FillSubmissionPage("<p>\r\nc\r\n<p>last, no line break", Values, Doc),
              "<p>\r\nfalse\r\n<p>last, no line break\r\n");
    EXPECT_EQ(FillSubmissionPage("", Values, Doc), "");
}

TEST_F(SubmissionPageTest, EmptyLinesStayEmptyLines) {
    EXPECT_EQ(FillSubmissionPage("\r\n\n<p>\r\n\r\n", Values, Doc), "\r\n\r\n<p>\r\n\r\n");
}

TEST_F(SubmissionPageTest, TextViewPageIsWhiteWithDefaultText) {
    Values = ComputeSendValues(Doc, true, "user");
    EXPECT_EQ(Fill({"b<body id=\"top\">", "f<div id=\"pic1\">", "r<input value=\"\">"}),
              (std::vector<std::string>{"<body id=\"top\" bgcolor=\"#FFFFFF\">",
                                        "<div id=\"pic1\">", "<input value=\"#FFFFFF\">"}));
}

TEST_F(SubmissionPageTest, LargeDocumentSpillsAndThePageHoldsTheWholeTableInOrder) {
    MakeLarge();
    // The colour page writer reads the spilled lines back on its own: its table is the reference.
    Doc.WriteColorPage(Dir.Path() + "reference.htm");
    const std::vector<std::string> page = ReadTextLines(Dir.Path() + "reference.htm");
    const std::vector<std::string> table(page.begin() + 6, page.end() - 1);
    ASSERT_EQ(table.size(), 1 + 16000 + 1u);

    const std::vector<std::string> filled = Fill({"<div>", "s", "<hr>", "i", "</div>"});
    EXPECT_TRUE(Doc.FSpilled);
    std::vector<std::string> expected = {"<div>"};
    expected.insert(expected.end(), table.begin(), table.end());
    expected.push_back("<hr>");
    for (const std::string& line : table) expected.push_back(HtmlEscape(line, hemAttr));
    expected.push_back("</div>");
    EXPECT_EQ(filled, expected);
}

TEST_F(SubmissionPageTest, WritesThePageFromTheTemplateFile) {
    const std::string templ = Dir.Write("add.htm", "<p>\r\nh<table height=>\r\ne\r\n");
    Dir.Write("send.htm", "an old page");
    WriteSubmissionPage(templ, Dir.Path() + "send.htm", Values, Doc);
    EXPECT_EQ(Dir.Read("send.htm"), "<p>\r\n<table height=48>\r\n");
}

TEST_F(SubmissionPageTest, FailuresNameTheFile) {
    const std::string templ = Dir.Write("add.htm", "<p>\r\n");
    const std::pair<std::string, std::string> cases[] = {
        {Dir.Path() + "missing.htm", Dir.Path() + "send.htm"},
        {templ, Dir.Path() + "no such folder/send.htm"},
    };
    for (const auto& [from, to] : cases) {
        try {
            WriteSubmissionPage(from, to, Values, Doc);
            ADD_FAILURE() << "no error for " << from << " to " << to;
        } catch (const EFileError& error) {
            const std::string message = error.what();
            EXPECT_TRUE(message.find(from) != std::string::npos ||
                        message.find(to) != std::string::npos)
                << message;
        }
    }
    EXPECT_FALSE(FileExists(Dir.Path() + "send.htm"));
}

TEST(UserIdentificationTest, LoginNameCutToElevenBytesBetweenCharacters) {
    EXPECT_EQ(UserIdentification("ann"), "ann");
    EXPECT_EQ(UserIdentification("abcdefghijk"), "abcdefghijk");
    EXPECT_EQ(UserIdentification("alexandrovich"), "alexandrovi");
    // Three bytes a character: three whole ones fit, the fourth would end past byte 11.
    EXPECT_EQ(UserIdentification("\xE5\xBC\xA0\xE4\xB8\x89\xE6\x9D\x8E\xE5\x9B\x9B"),
              "\xE5\xBC\xA0\xE4\xB8\x89\xE6\x9D\x8E");
    EXPECT_EQ(UserIdentification("abcdefghij\xC3\xA9"), "abcdefghij");
    EXPECT_EQ(UserIdentification(""), "");
}

}  // namespace
}  // namespace morvane
