#include "document/abc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

// The grid holds no rows: every cell that could be asked for is unmarked.
void ExpectEmptyGrid(const Tabc& doc) {
    EXPECT_TRUE(doc.FCells.empty());
    EXPECT_TRUE(doc.FMarked.empty());
}

TEST(AbcTest, NewDocumentIsEmpty) {
    Tabc doc;
    EXPECT_EQ(doc.FKind, dkNone);
    EXPECT_TRUE(doc.FWideCells);
    EXPECT_EQ(doc.FRowCount, 0);
    EXPECT_EQ(doc.FColCount, 0);
    EXPECT_TRUE(doc.FLines.empty());
    ExpectEmptyGrid(doc);
}

TEST(AbcTest, ResetReturnsToTheEmptyDocument) {
    TTempFolder dir;
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(dir.Write("a.txt", "\x1B[31mred\r\n")));
    doc.Reset();
    EXPECT_EQ(doc.FKind, dkNone);
    EXPECT_TRUE(doc.FWideCells);
    EXPECT_EQ(doc.FRowCount, 0);
    EXPECT_EQ(doc.FColCount, 0);
    EXPECT_TRUE(doc.FLines.empty());
    EXPECT_TRUE(doc.FSourcePath.empty());
    EXPECT_FALSE(doc.FHasEscapes);
    ExpectEmptyGrid(doc);
}

struct TKindCase {
    const char* Name;
    std::vector<std::string> Files;  // created in the folder
    std::string Path;                // asked for
    std::optional<TDocKind> Kind;
};

class DetectKindTest : public testing::TestWithParam<TKindCase> {};

TEST_P(DetectKindTest, FindsTheKindByExtensionAndCompanion) {
    TTempFolder dir;
    // Files named "bin..." hold a picture's bytes; the rest hold a line of text.
    for (const std::string& name : GetParam().Files)
        dir.Write(name, name.rfind("bin", 0) == 0 ? "\x89PNG\r\n" : "x\r\n");
    Tabc doc;
    EXPECT_EQ(doc.DetectKind(dir.Path() + GetParam().Path), GetParam().Kind);
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, DetectKindTest,
    testing::Values(TKindCase{"Htm", {"a.htm"}, "a.htm", dkHtml},
                    TKindCase{"HtmlMixedCase", {"a.Html"}, "a.Html", dkHtml},
                    TKindCase{"Clo", {"a.clo"}, "a.clo", dkColor},
                    TKindCase{"CloUpper", {"a.CLO"}, "a.CLO", dkColor},
                    TKindCase{"TxtAlone", {"a.txt"}, "a.txt", dkText},
                    TKindCase{"TxtWithClo", {"a.txt", "a.clo"}, "a.txt", dkColor},
                    TKindCase{"UpperTxtWithLowerClo", {"art.TXT", "art.clo"}, "art.TXT", dkColor},
                    TKindCase{"CompanionOfOtherCase", {"art.txt", "art.CLO"}, "art.txt", dkColor},
                    TKindCase{"MixedCaseTxt", {"a.Txt"}, "a.Txt", dkText},
                    TKindCase{"Ans", {"a.ans"}, "a.ans", dkText},
                    TKindCase{"AnsNeverPairs", {"a.ANS", "a.clo"}, "a.ANS", dkText},
                    TKindCase{"OtherExtensionHoldingText", {"a.doc"}, "a.doc", dkText},
                    TKindCase{"NoExtensionHoldingText", {"Welcome"}, "Welcome", dkText},
                    TKindCase{"BinaryContent", {"bin.png"}, "bin.png", std::nullopt},
                    TKindCase{"BinaryWithoutExtension", {"binlogo"}, "binlogo", std::nullopt},
                    TKindCase{"Missing", {}, "x.d/readme", std::nullopt}),
    [](const auto& info) { return info.param.Name; });

TEST(AbcTest, LoadFileRefusesFoldersMissingFilesAndUnknownKinds) {
    TTempFolder dir;
    mkdir((dir.Path() + "folder.txt").c_str(), 0777);
    Tabc doc;
    for (const std::string& path :
         {dir.Path() + "folder.txt", dir.Path() + "missing.txt", dir.Write("a.doc", std::string("PK\x03\x04zip", 7))}) {
        EXPECT_FALSE(doc.LoadFile(path)) << path;
        EXPECT_EQ(doc.FKind, dkNone) << path;
    }
}

TEST(AbcTest, HtmlPageIsPassedThrough) {
    TTempFolder dir;
    const std::string page = dir.Write("p.htm", "<p>hi</p>");
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(page));
    EXPECT_EQ(doc.FKind, dkHtml);
    EXPECT_EQ(doc.FSourcePath, page);
    EXPECT_TRUE(doc.FTextPath.empty());
    EXPECT_TRUE(doc.FColorPath.empty());
    EXPECT_TRUE(doc.FLines.empty());
    EXPECT_EQ(doc.FRowCount, 0);
    EXPECT_EQ(doc.FColCount, 0);
    EXPECT_TRUE(doc.FWideCells);
}

TEST(AbcTest, CompanionFoundIgnoringCaseGivesRealPaths) {
    TTempFolder dir;
    const std::string text = dir.Write("ART.TXT", "AB\r\n");
    const std::string colour = dir.Write("ART.CLO", "1\r\n2\r\n#1\r\n*1\r\n255\r\n@\r\n");
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(text));
    EXPECT_EQ(doc.FKind, dkColor);
    EXPECT_EQ(doc.FTextPath, text);
    EXPECT_EQ(doc.FColorPath, colour);
    EXPECT_TRUE(doc.FMarked[0][1]);

    doc.Reset();
    ASSERT_TRUE(doc.LoadFile(colour));
    EXPECT_EQ(doc.FTextPath, text);
    EXPECT_EQ(doc.FColorPath, colour);
    EXPECT_EQ(doc.FLines, std::vector<std::string>{"AB"});
}

}  // namespace
}  // namespace morvane
