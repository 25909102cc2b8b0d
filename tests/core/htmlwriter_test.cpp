#include <gtest/gtest.h>

#include "document/abc.h"
#include "document/htmlescape.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::CrLf;
using test::TTempFolder;

struct TEscapeCase {
    const char* Name;
    std::string Text;
    int Mode;
    std::string Escaped;
};

class HtmlEscapeTest : public testing::TestWithParam<TEscapeCase> {};

TEST_P(HtmlEscapeTest, EscapesByteByByte) {
    EXPECT_EQ(HtmlEscape(GetParam().Text, GetParam().Mode), GetParam().Escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HtmlEscapeTest,
    testing::Values(
        TEscapeCase{"TextAll", "a <b>&\"\tc", hemText, "a&nbsp;&lt;b&gt;&amp;&quot;&nbsp;&nbsp;c"},
        TEscapeCase{"TextLoneBlankIsEmpty", " ", hemText, ""},
        TEscapeCase{"TextTwoBlanks", "  ", hemText, "&nbsp;&nbsp;"},
        TEscapeCase{"TextGbBytesPass", "\xB0\xA1\xD6\xD0", hemText, "\xB0\xA1\xD6\xD0"},
        TEscapeCase{"AttrKeepsAmpersandAndBlanks", "a <b>&\"\tc", hemAttr, "a &lt;b&gt;&&quot;\tc"},
        TEscapeCase{"AttrLoneBlankStays", " ", hemAttr, " "},
        TEscapeCase{"OtherModeIsEmpty", "abc", 5, ""}),
    [](const auto& info) { return info.param.Name; });

TEST(SwapRedBlueTest, PrintsRedFirstFromTheLow24Bits) {
    EXPECT_EQ(SwapRedBlue(0x0000FF), 0xFF0000u);
    EXPECT_EQ(SwapRedBlue(0x800000), 0x000080u);
    EXPECT_EQ(SwapRedBlue(0x123456), 0x563412u);
    EXPECT_EQ(SwapRedBlue(-1), 0xFFFFFFu);
    EXPECT_EQ(SwapRedBlue(0x01000080), 0x800000u);
}

// A document built cell by cell, as the readers would leave it.
class HtmlWriterTest : public testing::Test {
protected:
    Tabc Doc;
    TTempFolder Dir;

    void SetUp() override {
        Doc.SetTempDir(Dir.Path());
        Doc.FWideCells = false;
        Doc.FKind = dkColor;
        Doc.FSourcePath = Dir.Path() + "art.txt";
    }
    void SetRows(const std::vector<std::string>& rows) {
        Doc.FLines = rows;
        Doc.FRowCount = static_cast<int>(rows.size());
        Doc.SizeGrid(Doc.FRowCount);
        Doc.FColCount = 1;
        for (const std::string& row : rows)
            Doc.FColCount = std::max(Doc.FColCount, static_cast<int>(row.size()));
    }
    void Mark(int r, int c, TColor fg, TColor bg) {
        Doc.FMarked[r][c] = true;
        Doc.FCells[r][c] = {fg, bg};
    }
    std::vector<std::string> Build() {
        std::vector<std::string> list;
        Doc.BuildHtmlLines(list);
        EXPECT_FALSE(Doc.FSpilled);
        EXPECT_EQ(list.front(),
                  "<table border=\"0\"> <tr BGCOLOR=\"#00000\"><td class=\"quillet\"><font "
                  "color=\"#eeeeee\"> ");
        EXPECT_EQ(list.back(), "</font></td></tr></table>");
        return {list.begin() + 1, list.end() - 1};
    }
};

TEST_F(HtmlWriterTest, RunsBecomeFontElementsSplitAtColourChanges) {
    SetRows({"AB C", "x"});
    Mark(0, 1, 0x0000FF, 0);
    Mark(0, 2, 0x0000FF, 0);
    Mark(0, 4, 0xFF0000, 0x800000);
    EXPECT_EQ(Build(),
              (std::vector<std::string>{
                  "<font color=\"#FF0000\">AB</font>&nbsp;<font  ",
                  "color=\"#0000FF\" style=\"BACKGROUND-COLOR:#000080\" >C</font><br>", "x"}));
}

TEST_F(HtmlWriterTest, RowsWithoutColoursAndEmptyRows) {
    SetRows({"a b&", "", "last"});
    EXPECT_EQ(Build(), (std::vector<std::string>{"a&nbsp;b&amp;<br>", "<br>", "last"}));
}

TEST_F(HtmlWriterTest, ColourChangeInsideARunFlushesTheLine) {
    SetRows({"ABC"});
    Mark(0, 1, 0x000080, 0);
    Mark(0, 2, 0x000080, 0);
    Mark(0, 3, 0x008000, 0x800000);
    EXPECT_EQ(Build(), (std::vector<std::string>{
                           "<font color=\"#800000\">AB</font><font ",
                           "color=\"#008000\" style=\"BACKGROUND-COLOR:#000080\" >C</font>"}));
}

TEST_F(HtmlWriterTest, MarkedDefaultCells) {
    SetRows({"AB", "xY"});
    Mark(0, 1, 0xFFFFFF, 0);
    Mark(0, 2, 0x000080, 0);
    Mark(1, 2, 0xFFFFFF, 0);
    EXPECT_EQ(Build(),
              (std::vector<std::string>{"<font>A</font><font ", "color=\"#800000\" >B</font><br>",
                                        "x<font  ", ">Y</font>"}));
}

TEST_F(HtmlWriterTest, FirstCellTagsByColours) {
    SetRows({"A", "B", "C"});
    Mark(0, 1, 0xFFFFFF, 0x000080);
    Mark(1, 1, 0x000080, 0);
    Mark(2, 1, 0x000080, 0x008000);
    EXPECT_EQ(Build(), (std::vector<std::string>{
                           "<font style=\"BACKGROUND-COLOR:#800000\">A</font><br>",
                           "<font color=\"#800000\">B</font><br>",
                           "<font color=\"#800000\" style=\"BACKGROUND-COLOR:#008000\">C</font>"}));
}

TEST_F(HtmlWriterTest, HalfColouredCharacterIsSplitBetweenTwoFonts) {
    SetRows({"\xB0\xA1"});
    Mark(0, 1, 0x000080, 0);
    Mark(0, 2, 0x008000, 0);
    EXPECT_EQ(Build(), (std::vector<std::string>{"<font color=\"#800000\">\xB0</font><font ",
                                                 "color=\"#008000\" >\xA1</font>"}));
}

TEST_F(HtmlWriterTest, BlinkingAndUnderlinedRunsCarryTheirClasses) {
    SetRows({"ABCD", "xy"});
    Mark(0, 1, 0x000080, 0);
    Doc.SetCellAttr(0, 1, caBlink);
    Doc.SetCellAttr(0, 2, caBlink);
    Doc.SetCellAttr(0, 3, caBlink | caUnderline);
    Doc.SetCellAttr(1, 1, caUnderline);
    EXPECT_EQ(Build(),
              (std::vector<std::string>{"<font color=\"#800000\" class=\"blink\">A</font><font ",
                                        "class=\"blink\" >B</font><font ",
                                        "class=\"blink underline\" >C</font>D<br>",
                                        "<font class=\"underline\">x</font>y"}));
}

TEST_F(HtmlWriterTest, PageStylesBlinkAndUnderlineOnlyWhereTheArtHasThem) {
    SetRows({"AB"});
    Doc.WriteColorPage(Dir.Path() + "still.htm");
    EXPECT_EQ(ReadTextLines(Dir.Path() + "still.htm")[2],
              "<style type=\"text/css\"><!--  .quillet {  line-height: 99%}--> "
              "</style></HEAD><BODY");
    Doc.SetCellAttr(0, 2, caBlink);
    Doc.WriteColorPage(Dir.Path() + "blink.htm");
    const std::string style = ReadTextLines(Dir.Path() + "blink.htm")[2];
    EXPECT_NE(style.find(".blink { animation: blink 1s step-end infinite }"), std::string::npos);
    EXPECT_NE(style.find("@keyframes blink { 50% { color: transparent } }"), std::string::npos);
    EXPECT_NE(style.find(".underline { text-decoration: underline }"), std::string::npos);
}

TEST_F(HtmlWriterTest, Utf8RowsGoCellByCell) {
    // "中" covers two cells; its second cell has no text of its own.
    Doc.FEncoding = TEncoding::Utf8;
    SetRows(
        {"a\xE4\xB8\xAD"
         "b"});
    Mark(0, 2, 0x000080, 0);
    Mark(0, 3, 0x000080, 0);
    Mark(0, 4, 0x008000, 0);
    EXPECT_EQ(Build(),
              (std::vector<std::string>{"a<font  ", "color=\"#800000\" >\xE4\xB8\xAD</font><font ",
                                        "color=\"#008000\" >b</font>"}));
    Doc.WriteColorPage(Dir.Path() + "page.htm");
    EXPECT_NE(ReadTextLines(Dir.Path() + "page.htm")[1].find("charset=utf-8"), std::string::npos);
}

TEST_F(HtmlWriterTest, WideCellsTakeTwoBytes) {
    Doc.FWideCells = true;
    SetRows({"\xB0\xA1xy "});
    Mark(0, 1, 0x000080, 0);
    EXPECT_EQ(Build(), (std::vector<std::string>{"<font color=\"#800000\">\xB0\xA1</font>xy"}));
}

TEST_F(HtmlWriterTest, BytesPastTheGridAreUncoloured) {
    SetRows({std::string(202, 'a')});
    for (int c = 1; c <= 200; ++c) Mark(0, c, 0x000080, 0);
    EXPECT_EQ(Build(), std::vector<std::string>{"<font color=\"#800000\">" + std::string(200, 'a') +
                                                "</font>aa"});
}

TEST_F(HtmlWriterTest, LongOutputSpillsToTheScratchFileInOrder) {
    // Every cell a colour of its own: one line per cell, 16000 lines in all.
    SetRows(std::vector<std::string>(80, std::string(200, 'x')));
    for (int r = 0; r < 80; ++r)
        for (int c = 1; c <= 200; ++c) Mark(r, c, (r * 200 + c) % 2 ? 0x000080 : 0x008000, 0);
    std::vector<std::string> list;
    Doc.BuildHtmlLines(list);
    ASSERT_TRUE(Doc.FSpilled);
    // The scratch file has no name, so nothing is left in the folder however the run ends.
    EXPECT_FALSE(FileExists(Dir.Path() + "quillet.tmp"));
    const std::vector<std::string> spilled = SplitTextLines(Doc.SpilledLines());
    EXPECT_EQ(spilled.size() % 1001, 0u);
    EXPECT_LE(list.size(), 1001u);
    EXPECT_EQ(spilled.front().substr(0, 6), "<table");
    EXPECT_EQ(list.back(), "</font></td></tr></table>");

    Doc.WriteColorPage(Dir.Path() + "page.htm");
    EXPECT_FALSE(Doc.FSpilled);
    const std::vector<std::string> page = ReadTextLines(Dir.Path() + "page.htm");
    std::vector<std::string> expected(page.begin(), page.begin() + 6);
    expected.insert(expected.end(), spilled.begin(), spilled.end());
    expected.insert(expected.end(), list.begin(), list.end());
    expected.push_back("</td></tr></table></div></BODY></HTML>");
    EXPECT_EQ(page, expected);
    EXPECT_EQ(page.size(), 6 + 1 + 16000 + 1 + 1u);
    EXPECT_EQ(page[5],
              "<div align=\"center\"><table width=\"1632\" border=\"0\" "
              "bgcolor=\"#222222\"><tr><td>");
}

TEST_F(HtmlWriterTest, TableWidthOfAHugeLineDoesNotOverflow) {
    // A 280 MiB line once printed a negative width.
    SetRows({});
    Doc.FColCount = 293601280;
    Doc.WriteColorPage(Dir.Path() + "page.htm");
    EXPECT_EQ(ReadTextLines(Dir.Path() + "page.htm")[5],
              "<div align=\"center\"><table width=\"2348810272\" border=\"0\" "
              "bgcolor=\"#222222\"><tr><td>");
}

TEST_F(HtmlWriterTest, ColourPageLines) {
    SetRows({std::string(80, 'a')});
    Doc.FSourcePath = Dir.Path() + "<b>&\"x.txt";
    Doc.SaveHtml(Dir.Path() + "page.htm");
    EXPECT_EQ(Dir.Read("page.htm"),
              CrLf({"<HTML><HEAD><meta name=\"GENERATOR\" content=\"Quillet\">",
                    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
                    "<style type=\"text/css\"><!--  .quillet {  line-height: 99%}--> "
                    "</style></HEAD><BODY",
                    "background=\"bk.gif\" BGCOLOR=\"#000000\" text=\"#ffffff\">",
                    "<H1><CENTER><font color=ff0000 size=12 >&lt;b&gt;&amp;&quot;x.txt</font>"
                    "</CENTER></H1>",
                    "<div align=\"center\"><table width=\"672\" border=\"0\" "
                    "bgcolor=\"#222222\"><tr><td>",
                    "<table border=\"0\"> <tr BGCOLOR=\"#00000\"><td class=\"quillet\"><font "
                    "color=\"#eeeeee\"> ",
                    std::string(80, 'a'), "</font></td></tr></table>",
                    "</td></tr></table></div></BODY></HTML>"}));
}

TEST_F(HtmlWriterTest, PlainTextPageEscapesEveryLine) {
    Doc.FKind = dkText;
    Doc.FHasEscapes = false;
    SetRows({"a <b>", " ", "\tx"});
    Doc.FLines.push_back("line past the grid");
    Doc.SaveHtml(Dir.Path() + "page.htm");
    EXPECT_EQ(Dir.Read("page.htm"),
              CrLf({"<HTML><HEAD><meta name=\"GENERATOR\" content=\"Tavrel\">",
                    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
                    "<style type=\"text/css\"><!--  .quillet {  line-height: 100%}--> </style> "
                    "</HEAD><BODY background=\"bk.gif\">",
                    "<H1><CENTER><font color=ff0000 size=12 >art.txt</font></CENTER></H1>",
                    "a&nbsp;&lt;b&gt;<br>", "<br>", "&nbsp;&nbsp;x<br>",
                    "line&nbsp;past&nbsp;the&nbsp;grid<br>", "</BODY></HTML>"}));
}

TEST_F(HtmlWriterTest, ColouredTextDocumentGetsTheColourPage) {
    Doc.FKind = dkText;
    Doc.FHasEscapes = true;
    SetRows({"a"});
    Doc.SaveHtml(Dir.Path() + "page.htm");
    EXPECT_NE(Dir.Read("page.htm").find("content=\"Quillet\""), std::string::npos);
}

TEST_F(HtmlWriterTest, HtmlPageIsCopiedByteForByte) {
    const std::string bytes = "<html>\x01\xB0\xA1\r\n\n</html>";
    Doc.Reset();
    ASSERT_TRUE(Doc.LoadFile(Dir.Write("in.htm", bytes)));
    Doc.SaveHtml(Dir.Path() + "out.htm");
    EXPECT_EQ(Dir.Read("out.htm"), bytes);
}

TEST_F(HtmlWriterTest, HtmlCopyOfAVanishedPageIsAnError) {
    Doc.Reset();
    ASSERT_TRUE(Doc.LoadFile(Dir.Write("in.htm", "x")));
    std::remove((Dir.Path() + "in.htm").c_str());
    EXPECT_THROW(Doc.SaveHtml(Dir.Path() + "out.htm"), EFileError);
    EXPECT_FALSE(FileExists(Dir.Path() + "out.htm"));
}

TEST_F(HtmlWriterTest, NothingLoadedWritesNothing) {
    Doc.Reset();
    Doc.SaveHtml(Dir.Path() + "out.htm");
    EXPECT_FALSE(FileExists(Dir.Path() + "out.htm"));
}

}  // namespace
}  // namespace morvane
