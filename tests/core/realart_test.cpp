#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

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

// Taiwanese boards write Big5: each file is read in the encoding of its folder.
TEST_F(RealArtTest, EncodingIsDetected) {
    for (const std::string& file : Files) {
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(file)) << file;
        const bool big5 = file.find("/big5/") != std::string::npos;
        EXPECT_EQ(doc.FEncoding, big5 ? TEncoding::Big5 : TEncoding::Gb) << file;
    }
}

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
