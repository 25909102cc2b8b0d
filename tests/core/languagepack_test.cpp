#include "app/language/languagepack.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

#include "app/language/aboutpage.h"
#include "app/language/packfolder.h"
#include "platform/gbcodec.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::CrLf;
using test::TTempFolder;

const std::string kShippedAppDir = MORVANE_TEST_DATA "/../../resources/";

struct TParseCase {
    const char* Name;
    std::string File;
    std::map<int, std::string> Texts;
    std::vector<int> Malformed;
};

class ParseLanguagePackTest : public testing::TestWithParam<TParseCase> {};

TEST_P(ParseLanguagePackTest, TakesEntriesAndSkipsTheRest) {
    const TLanguagePack pack = ParseLanguagePack(GetParam().File, kMainPackTextBytes);
    EXPECT_EQ(pack.Texts, GetParam().Texts);
    EXPECT_EQ(pack.MalformedLines, GetParam().Malformed);
    EXPECT_TRUE(pack.CutIds.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLanguagePackTest,
    testing::Values(
        TParseCase{"EntriesAndComments",
                   "# a comment\n1=Open\n  # indented comment\n\n2=Save",
                   {{1, "Open"}, {2, "Save"}},
                   {}},
        TParseCase{"Utf8BecomesGb", "3=\xE6\x89\x93\xE5\xBC\x80", {{3, "\xB4\xF2\xBF\xAA"}}, {}},
        TParseCase{"FourByteCharacterKept", "3=\xF0\xA0\x80\x80", {{3, "\x95\x32\x82\x36"}}, {}},
        TParseCase{"EscapedLineBreakAndBackslash",
                   "31=Replace?\\nc:\\\\new\\t",
                   {{31, "Replace?\nc:\\new\\t"}},
                   {}},
        TParseCase{"CrLfLoneCrAndByteOrderMark",
                   "\xEF\xBB\xBF"
                   "1=a\r\n2=b\r3=c\r\n",
                   {{1, "a"}, {2, "b"}, {3, "c"}},
                   {}},
        TParseCase{"BlanksAroundIdTextKeptWhole",
                   " 4\t= two  \n37=Failed: ",
                   {{4, " two  "}, {37, "Failed: "}},
                   {}},
        TParseCase{"EmptyTextIsAnEntry", "5=", {{5, ""}}, {}},
        TParseCase{"TextMayHoldEquals", "6=a=b", {{6, "a=b"}}, {}},
        TParseCase{"LaterEntryWins", "7=first\n7=second", {{7, "second"}}, {}},
        TParseCase{"ZeroByteEndsTheText", std::string("8=ab\0cd", 7), {{8, "ab"}}, {}},
        TParseCase{"MalformedLinesSkipped",
                   "no equals\n=no id\n0=zero\n65536=too big\n12x=letters\n-3=sign\n9=kept\n"
                   "10=\xC3\x28\n11=\xED\xA0\x80\n12=\xC0\xAF",
                   {{9, "kept"}},
                   {1, 2, 3, 4, 5, 6, 8, 9, 10}}),
    [](const auto& info) { return info.param.Name; });

struct TCutCase {
    const char* Name;
    std::string Text;
    size_t MaxBytes;
    std::string Kept;
};

class CutLanguagePackTest : public testing::TestWithParam<TCutCase> {};

TEST_P(CutLanguagePackTest, CutsAtTheLimitNeverInsideACharacter) {
    const TLanguagePack pack = ParseLanguagePack("1=" + GetParam().Text, GetParam().MaxBytes);
    EXPECT_EQ(pack.Texts.at(1), GetParam().Kept);
    EXPECT_EQ(pack.CutIds, std::vector<int>{1});
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// "中" is D6 D0 in GB; U+20000 is the four bytes 95 32 82 36.
INSTANTIATE_TEST_SUITE_P(
    Limits, CutLanguagePackTest,
    testing::Values(TCutCase{"AsciiToMainLimit", std::string(300, 'x'), kMainPackTextBytes,
                             std::string(254, 'x')},
                    TCutCase{"WideCharactersEvenLimit", Repeat("\xE4\xB8\xAD", 200),
                             kMainPackTextBytes, Repeat("\xD6\xD0", 127)},
                    TCutCase{"WideCharactersOddLimit", Repeat("\xE4\xB8\xAD", 200),
                             kAboutPackTextBytes, Repeat("\xD6\xD0", 126)},
                    TCutCase{"FourByteCharacterAcrossTheLimit",
                             std::string(251, 'x') + "\xF0\xA0\x80\x80", kMainPackTextBytes,
                             std::string(251, 'x')},
                    TCutCase{"EscapedBreakCountsOneByte", std::string(253, 'x') + "\\nyz",
                             kMainPackTextBytes, std::string(253, 'x') + "\n"}),
    [](const auto& info) { return info.param.Name; });

TEST(LanguagePackTest, TextAtTheLimitIsWhole) {
    const TLanguagePack pack =
        ParseLanguagePack("1=" + std::string(kMainPackTextBytes, 'x'), kMainPackTextBytes);
    EXPECT_EQ(pack.Texts.at(1).size(), kMainPackTextBytes);
    EXPECT_TRUE(pack.CutIds.empty());
}

TEST(LanguagePackTest, UnreadableFileNamesItself) {
    TTempFolder dir;
    try {
        ReadLanguagePack(dir.Path() + "missing_mo.lng", kMainPackTextBytes);
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find(dir.Path() + "missing_mo.lng"), std::string::npos);
    }
}

// The folder's own order, read here without the code under test.
std::vector<std::string> DirectoryOrder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
    return names;
}

TEST(PackFolderTest, ListsMainPacksInDirectoryOrderIgnoringCase) {
    TTempFolder app;
    mkdir((app.Path() + "language").c_str(), 0755);
    mkdir((app.Path() + "language/folder_mo.lng").c_str(), 0755);
    const std::vector<std::string> files = {"GB2312_mo.lng", "English_mo.lng",   "english_MO.LNG",
                                            "x_about.lng",   "notes.txt",        "a.b_Mo.lng",
                                            "_mo.lng",       "GB2312_mo.lng.bak"};
    for (const std::string& file : files) app.Write("language/" + file, "1=x\n");

    std::vector<std::string> expected;
    for (const std::string& entry : DirectoryOrder(app.Path() + "language/")) {
        const std::map<std::string, std::string> names = {{"GB2312_mo.lng", "GB2312"},
                                                          {"English_mo.lng", "English"},
                                                          {"english_MO.LNG", "english"},
                                                          {"a.b_Mo.lng", "a.b"},
                                                          {"_mo.lng", ""}};
        if (names.count(entry)) expected.push_back(names.at(entry));
    }
    EXPECT_EQ(ListPackNames(app.Path()), expected);
    EXPECT_EQ(expected.size(), 5u);
}

TEST(PackFolderTest, NoFolderListsNothing) {
    TTempFolder app;
    EXPECT_TRUE(ListPackNames(app.Path()).empty());
    EXPECT_EQ(FindPackFile(app.Path(), "GB2312", kMainPackSuffix), "");
}

TEST(PackFolderTest, FindsPackIgnoringCaseExactNameFirst) {
    TTempFolder app;
    mkdir((app.Path() + "LANGUAGE").c_str(), 0755);
    app.Write("LANGUAGE/english_MO.lng", "");
    app.Write("LANGUAGE/English_about.LNG", "");
    app.Write("LANGUAGE/French_mo.lng", "");
    app.Write("LANGUAGE/french_mo.lng", "");
    EXPECT_EQ(FindPackFile(app.Path(), "ENGLISH", kMainPackSuffix),
              app.Path() + "LANGUAGE/english_MO.lng");
    EXPECT_EQ(FindPackFile(app.Path(), "english", kAboutPackSuffix),
              app.Path() + "LANGUAGE/English_about.LNG");
    EXPECT_EQ(FindPackFile(app.Path(), "french", kMainPackSuffix),
              app.Path() + "LANGUAGE/french_mo.lng");
    EXPECT_EQ(FindPackFile(app.Path(), "German", kMainPackSuffix), "");
}

// Every shipped pack holds every ID its window reads, each line an entry or a comment, and no
// text longer than its window takes.
struct TShippedPack {
    const char* Suffix;
    const char* Language;
    const int* FirstId;
    const int* EndId;
    size_t MaxBytes;
};

class ShippedPackTest : public testing::TestWithParam<TShippedPack> {};

TEST_P(ShippedPackTest, IsComplete) {
    const TShippedPack& shipped = GetParam();
    const std::string path = FindPackFile(kShippedAppDir, shipped.Language, shipped.Suffix);
    ASSERT_FALSE(path.empty()) << "no pack " << shipped.Language << shipped.Suffix;
    const TLanguagePack pack = ReadLanguagePack(path, shipped.MaxBytes);
    std::string missing;
    for (const int* id = shipped.FirstId; id != shipped.EndId; ++id) {
        if (!pack.Texts.count(*id)) missing += " " + std::to_string(*id);
    }
    EXPECT_EQ(missing, "") << path << " lacks these IDs";
    EXPECT_EQ(pack.MalformedLines, std::vector<int>{}) << path << ": malformed lines";
    EXPECT_EQ(pack.CutIds, std::vector<int>{}) << path << ": texts too long";
}

INSTANTIATE_TEST_SUITE_P(
    Packs, ShippedPackTest,
    testing::Values(TShippedPack{"_mo.lng", "GB2312", std::begin(kMainPackIds),
                                 std::end(kMainPackIds), kMainPackTextBytes},
                    TShippedPack{"_mo.lng", "English", std::begin(kMainPackIds),
                                 std::end(kMainPackIds), kMainPackTextBytes},
                    TShippedPack{"_about.lng", "GB2312", std::begin(kAboutPackIds),
                                 std::end(kAboutPackIds), kAboutPackTextBytes},
                    TShippedPack{"_about.lng", "English", std::begin(kAboutPackIds),
                                 std::end(kAboutPackIds), kAboutPackTextBytes}),
    [](const auto& info) {
        return std::string(info.param.Language) + (info.param.Suffix[1] == 'm' ? "Main" : "About");
    });

TEST(ShippedPackTest, BothLanguagesAreListed) {
    std::vector<std::string> names = ListPackNames(kShippedAppDir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"English", "GB2312"}));
}

TEST(AboutPageTest, EightLinesWithTheTextsAsTheyAre) {
    TAboutPageTexts texts;
    texts.Heading = "About Morvane";
    texts.Paragraph1 = "<b>one</b>";
    texts.Paragraph2 = "\xD6\xD0\xCE\xC4";
    texts.Signature = "[Morvane] us";
    texts.Closing = "bye & \"so\"";
    EXPECT_EQ(
        AboutPageText(texts),
        CrLf({"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
              "charset=gb2312\">",
              "<style type=\"text/css\"><!--p {  font-size: 10pt; text-indent: 12pt}-->",
              "</style></head><body bgcolor=\"#FFFFFF\" background=\"bk.gif\">",
              "<h4 align=\"center\"><font color=\"#FF3366\">About Morvane</font></h4>",
              "<p><b>one</b></p>", "<p>\xD6\xD0\xCE\xC4</p>", "<p align=\"right\">[Morvane] us</p>",
              "<p align=\"right\">bye & \"so\"</p></body></html>"}));
}

}  // namespace
}  // namespace morvane
