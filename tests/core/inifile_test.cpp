#include "app/settings/inifile.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

struct TIntegerCase {
    const char* Name;
    const char* Value;
    int Expected;
};

class IniInteger : public testing::TestWithParam<TIntegerCase> {};

TEST_P(IniInteger, ReadsDecimalAndHexadecimalAndFallsBackOtherwise) {
    const TIniFile ini("[display]\r\nwindow_width=" + std::string(GetParam().Value) + "\r\n");
    EXPECT_EQ(ini.ReadInteger("display", "window_width", 640), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniInteger,
    testing::Values(TIntegerCase{"decimal", "1024", 1024}, TIntegerCase{"hex_0x", "0x300", 768},
                    TIntegerCase{"hex_0X", "0X300", 768}, TIntegerCase{"hex_dollar", "$300", 768},
                    TIntegerCase{"hex_letters", "0xfF", 255}, TIntegerCase{"negative", "-20", -20},
                    TIntegerCase{"negative_hex", "-0x10", -16}, TIntegerCase{"plus", "+5", 5},
                    TIntegerCase{"blanks", "  42 ", 42}, TIntegerCase{"letters", "wide", 640},
                    TIntegerCase{"trailing", "12px", 640}, TIntegerCase{"empty", "", 640},
                    TIntegerCase{"prefix_only", "0x", 640}, TIntegerCase{"dollar_only", "$", 640},
                    TIntegerCase{"hex_without_prefix", "ff", 640},
                    TIntegerCase{"fraction", "1.5", 640},
                    TIntegerCase{"too_large", "2147483648", 640},
                    TIntegerCase{"largest", "2147483647", 2147483647},
                    TIntegerCase{"smallest", "-2147483648", -2147483647 - 1},
                    TIntegerCase{"two_signs", "--1", 640}),
    [](const testing::TestParamInfo<TIntegerCase>& info) { return info.param.Name; });

TEST(IniFile, SectionsAndKeysMatchWithoutLetterCase) {
    const TIniFile ini("[DISPLAY]\r\nWindow_Width=800\r\nLANGUAGE=English\r\n");
    EXPECT_EQ(ini.ReadInteger("display", "window_width", 640), 800);
    EXPECT_EQ(ini.ReadString("Display", "language", "GB2312"), "English");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
    const TIniFile empty;
    EXPECT_EQ(empty.ReadString("history", "n1", "1"), "1");
    const TIniFile ini("[history]\r\nn1=/art/\r\n[display]\r\n");
    EXPECT_EQ(ini.ReadString("history", "n2", "2"), "2");
    EXPECT_EQ(ini.ReadString("other", "n1", "1"), "1");
    // A key counts only in its own section.
    EXPECT_EQ(ini.ReadString("display", "n1", "1"), "1");
}

TEST(IniFile, TruthValueIsAnyWholeNumberButZero) {
    const TIniFile ini("[display]\nzero=0\nseven=7\nword=yes\n");
    EXPECT_FALSE(ini.ReadBool("display", "zero", true));
    EXPECT_TRUE(ini.ReadBool("display", "seven", false));
    EXPECT_TRUE(ini.ReadBool("display", "word", true));
    EXPECT_FALSE(ini.ReadBool("display", "word", false));
}

TEST(IniFile, CommentsUnknownLinesAndOtherSectionsSurviveAWrite) {
    const std::string before =
        "; my settings\r\n"
        "stray line before any section\r\n"
        "\r\n"
        "[display]\r\n"
        "# keep this\r\n"
        "Window_Width = 500\r\n"
        "something odd\r\n"
        "language=GB2312\r\n"
        "\r\n"
        "[mine]\r\n"
        "window_width=1\r\n";
    TIniFile ini(before);
    ini.WriteInteger("display", "window_width", 768);
    EXPECT_TRUE(ini.Modified());
    std::string expected = before;
    expected.replace(expected.find("500"), 3, "768");
    EXPECT_EQ(ini.Bytes(), expected);
}

TEST(IniFile, NewKeyGoesAfterTheLastKeyOfItsSectionAndNewSectionAtTheEnd) {
    TIniFile ini("[display]\r\nlanguage=GB2312\r\n; about history\r\n\r\n[other]\r\nx=1");
    ASSERT_TRUE(ini.WriteString("display", "LaunchFile", "1"));
    ASSERT_TRUE(ini.WriteString("history", "n1", "/art/"));
    EXPECT_EQ(ini.Bytes(),
              "[display]\r\nlanguage=GB2312\r\nLaunchFile=1\r\n; about history\r\n\r\n"
              "[other]\r\nx=1\r\n[history]\r\nn1=/art/\r\n");
}

TEST(IniFile, AddedLinesBreakAsTheFileDoes) {
    TIniFile ini("[display]\nlanguage=GB2312\n");
    ASSERT_TRUE(ini.WriteString("history", "n1", "/art/"));
    EXPECT_EQ(ini.Bytes(), "[display]\nlanguage=GB2312\n[history]\nn1=/art/\n");
}

TEST(IniFile, WritingTheValueItHoldsChangesNothing) {
    const std::string before = "[display]\r\nlanguage =  GB2312   \r\n";
    TIniFile ini(before);
    ASSERT_TRUE(ini.WriteString("DISPLAY", "Language", "GB2312"));
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.Bytes(), before);
}

TEST(IniFile, Gb2312BytesSurviveByteForByte) {
    // "中文" and "图片" in GB2312; 0xC1 and 0xE1 differ only as Latin-1 letter cases would.
    const std::string folder = "/home/a/\xD6\xD0\xCE\xC4/";
    const std::string before = "[display]\r\n\xC1\xA1=\xCD\xBC\xC6\xAC\r\n[history]\r\nn1=1\r\n";
    TIniFile ini(before);
    ASSERT_TRUE(ini.WriteString("history", "n1", folder));
    ASSERT_TRUE(ini.WriteString("history", "n2", folder));
    const TIniFile reread(ini.Bytes());
    EXPECT_EQ(reread.ReadString("history", "n1", ""), folder);
    EXPECT_EQ(reread.ReadString("history", "n2", ""), folder);
    EXPECT_EQ(reread.ReadString("display", "\xC1\xA1", ""), "\xCD\xBC\xC6\xAC");
    EXPECT_EQ(reread.ReadString("display", "\xE1\xA1", "none"), "none");
    EXPECT_EQ(ini.Bytes(), "[display]\r\n\xC1\xA1=\xCD\xBC\xC6\xAC\r\n[history]\r\nn1=" + folder +
                               "\r\nn2=" + folder + "\r\n");
}

TEST(IniFile, ValuesComeBackAsTheyWereWritten) {
    for (const std::string value :
         {"", " lead", "trail ", "\"quoted\"", "'single'", "a=b", "\"", ";not a comment", "[x]"}) {
        TIniFile ini;
        ASSERT_TRUE(ini.WriteString("history", "c1", value));
        EXPECT_EQ(TIniFile(ini.Bytes()).ReadString("history", "c1", "default"), value)
            << ini.Bytes();
    }
}

TEST(IniFile, WhatCannotStandOnOneLineIsNotWritten) {
    TIniFile ini("[history]\r\nc1=/a/\r\n");
    EXPECT_FALSE(ini.WriteString("history", "c1", "/a\nb/"));
    EXPECT_FALSE(ini.WriteString("history", "c2", "/a\rb/"));
    EXPECT_FALSE(ini.WriteString("history", "bad=key", "x"));
    EXPECT_FALSE(ini.WriteString("bad]section", "c1", "x"));
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.ReadString("history", "c1", ""), "/a/");
}

TEST(IniFile, ByteOrderMarkIsKeptAndDoesNotHideTheFirstSection) {
    TIniFile ini("\xEF\xBB\xBF[display]\r\nlanguage=English\r\n");
    EXPECT_EQ(ini.ReadString("display", "language", ""), "English");
    ASSERT_TRUE(ini.WriteString("display", "language", "GB2312"));
    EXPECT_EQ(ini.Bytes(), "\xEF\xBB\xBF[display]\r\nlanguage=GB2312\r\n");
}

TEST(IniFile, AFileCutAfterItsLastCrKeepsItsLastValue) {
    TIniFile ini("[history]\r\nn1=/art/\r");
    EXPECT_EQ(ini.ReadString("history", "n1", ""), "/art/");
    ASSERT_TRUE(ini.WriteString("display", "language", "GB2312"));
    EXPECT_EQ(ini.Bytes(), "[history]\r\nn1=/art/\r\n[display]\r\nlanguage=GB2312\r\n");
    EXPECT_EQ(TIniFile(ini.Bytes()).ReadString("history", "n1", ""), "/art/");
}

TEST(IniFile, FirstKeyOfTheFirstMatchingLineCounts) {
    TIniFile ini("[a]\nk=1\nk=2\n[A]\nk=3\nj=4\n");
    EXPECT_EQ(ini.ReadInteger("a", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("a", "j", 0), 4);
    ini.WriteInteger("a", "j", 5);
    EXPECT_EQ(ini.Bytes(), "[a]\nk=1\nk=2\n[A]\nk=3\nj=5\n");
}

TEST(IniFile, SaveAndLoadKeepEveryByte) {
    TTempFolder dir;
    const std::string path = dir.Write("morvane.ini", "; mine\r\n[display]\r\nodd\r\n");
    TIniFile ini = TIniFile::Load(path);
    ini.WriteBool("display", "LaunchFile", false);
    ini.Save(path);
    EXPECT_EQ(ReadWholeFile(path), "; mine\r\n[display]\r\nLaunchFile=0\r\nodd\r\n");
    EXPECT_THROW(TIniFile::Load(dir.Path() + "missing.ini"), EFileError);
}

}  // namespace
}  // namespace morvane
