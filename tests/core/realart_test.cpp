#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "document/abc.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

std::string RealArtFolder() {
    const char* override = std::getenv("MORVANE_REALART");
    return override && *override ? override : MORVANE_REALART;
}

std::vector<std::string> RealArtFiles() {
    std::vector<std::string> files;
    for (const char* folder : {"gb", "big5"}) {
        const fs::path dir = fs::path(RealArtFolder()) / folder;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".txt") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Without the shared folder (a user's clone) there is nothing to read: skipped, not failed.
class RealArtTest : public testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(RealArtFolder())) {
            GTEST_SKIP() << "no real art: " << RealArtFolder()
                         << " is not here (the shared folder beside the checkout; or set "
                            "MORVANE_REALART)";
        }
        Files = RealArtFiles();
        ASSERT_FALSE(Files.empty()) << "no real art under " << RealArtFolder();
    }

    std::vector<std::string> Files;
};

// Real bulletin-board files hold every odd sequence there is; none may leave a byte behind.
TEST_F(RealArtTest, NoEscapeByteIsLeftInTheText) {
    for (const std::string& file : Files) {
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(file)) << file;
        EXPECT_EQ(doc.FKind, dkText) << file;
        for (size_t r = 0; r < doc.FLines.size(); ++r) {
            EXPECT_EQ(doc.FLines[r].find('\x1B'), std::string::npos)
                << file << " line " << r + 1 << ": " << doc.FLines[r];
        }
    }
}

// The encoding of each file as its manifest gives it (the manifest is right where we disagree).
std::map<std::string, TEncoding> ManifestEncodings() {
    std::map<std::string, TEncoding> encodings;
    std::ifstream manifest(RealArtFolder() + "/MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);
    while (std::getline(manifest, line)) {
        std::vector<std::string> fields;
        for (size_t start = 0;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        if (fields.size() < 5) continue;
        encodings[fields[0]] = fields[4].rfind("Big5", 0) == 0    ? TEncoding::Big5
                               : fields[4].rfind("UTF-8", 0) == 0 ? TEncoding::Utf8
                                                                  : TEncoding::Gb;
    }
    return encodings;
}

TEST_F(RealArtTest, EncodingIsTheManifests) {
    const std::map<std::string, TEncoding> encodings = ManifestEncodings();
    ASSERT_EQ(encodings.size(), Files.size());
    for (const std::string& file : Files) {
        const std::string name = fs::path(file).parent_path().filename().string() + "/" +
                                 fs::path(file).filename().string();
        const auto expected = encodings.find(name);
        ASSERT_NE(expected, encodings.end()) << name << " is not in the manifest";
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(file)) << file;
        EXPECT_EQ(doc.FEncoding, expected->second) << file;
    }
}

struct TRuleCase {
    const char* Name;
    const char* File;
    TEncoding Encoding;
    // Decoded text that the file shows, and a feature of its grid.
    const char* Shows;
    bool Blinks;
    bool Underlines;
};

void PrintTo(const TRuleCase& c, std::ostream* os) { *os << c.Name; }

class RealArtRuleTest : public testing::TestWithParam<TRuleCase> {};

// One real file for each rule of reading a board's art.
TEST_P(RealArtRuleTest, ShowsWhatTheBoardShowed) {
    const std::string file = RealArtFolder() + "/" + GetParam().File;
    if (!fs::exists(file)) GTEST_SKIP() << "no real art: " << file << " is not here";
    Tabc doc;
    ASSERT_TRUE(doc.LoadFile(file));
    EXPECT_EQ(doc.FEncoding, GetParam().Encoding);
    std::string text;
    for (const std::string& line : doc.FLines) text += EncodedToUtf8(doc.FEncoding, line) + "\n";
    EXPECT_NE(text.find(GetParam().Shows), std::string::npos) << text;
    EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "a character does not decode";
    EXPECT_EQ(doc.FBlinks, GetParam().Blinks);
    bool underlined = false;
    for (int row = 0; row < doc.FRowCount; ++row)
        for (int col = 1; col <= Tabc::kMaxCols; ++col)
            underlined = underlined || (doc.CellAttr(row, col) & caUnderline);
    EXPECT_EQ(underlined, GetParam().Underlines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RealArtRuleTest,
    testing::Values(
        TRuleCase{"SymbolOnlyBig5", "big5/ptt__pttbbs__sample__etc__chickens__e2.txt",
                  TEncoding::Big5, "\u25CF", false, false},
        TRuleCase{"Big5Kana", "big5/xeonchen__maplebbs-itoc__ktv__9__A0RO69F9.txt", TEncoding::Big5,
                  "\u306E", true, false},
        TRuleCase{"BlinkingBig5Board", "big5/ptt__pttbbs__sample__etc__angel_usage2.txt",
                  TEncoding::Big5, "\u5929\u4F7F", true, false},
        TRuleCase{"UnderlinedSongScreen", "big5/xeonchen__maplebbs-itoc__ktv__2__A0R6FND2.txt",
                  TEncoding::Big5, "\u77E5\u8B58", false, true},
        TRuleCase{"GbGamePicture",
                  "gb/madoldman__inankai_bbs__bbssrc__bbshome__game__pipgame__job__pic41.txt",
                  TEncoding::Gb, "\u5FEB\u5FEB\u957F\u5927", false, false}),
    [](const auto& info) { return info.param.Name; });

// Activity boards run to hundreds of lines: every one of them is in the grid and the page.
TEST_F(RealArtTest, EveryLineIsARowOfThePage) {
    for (const std::string& file : Files) {
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(file)) << file;
        const auto rows = std::min<size_t>(doc.FLines.size(), Tabc::kMaxRows);
        EXPECT_EQ(static_cast<size_t>(doc.FRowCount), rows) << file;
        EXPECT_EQ(doc.FMarked.size(), rows) << file;
        std::vector<std::string> list;
        doc.BuildHtmlLines(list);
        std::string page = doc.SpilledLines();
        for (const std::string& line : list) page += line;
        size_t breaks = 0;
        for (size_t at = page.find("<br>"); at != std::string::npos; at = page.find("<br>", at + 4))
            ++breaks;
        EXPECT_EQ(breaks, rows > 0 ? rows - 1 : 0) << file;
    }
}

}  // namespace
}  // namespace morvane
