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

// Real bulletin-board files hold every odd sequence there is; none may leave a byte behind.
TEST(RealArtTest, NoEscapeByteIsLeftInTheText) {
    const std::vector<std::string> files = RealArtFiles();
    ASSERT_FALSE(files.empty()) << "no real art under " << RealArtFolder()
                                << " (the shared folder beside the checkout; or set MORVANE_REALART)";
    for (const std::string& file : files) {
        Tabc doc;
        ASSERT_TRUE(doc.LoadFile(file)) << file;
        EXPECT_EQ(doc.FKind, dkText) << file;
        for (size_t r = 0; r < doc.FLines.size(); ++r) {
            EXPECT_EQ(doc.FLines[r].find('\x1B'), std::string::npos)
                << file << " line " << r + 1 << ": " << doc.FLines[r];
        }
    }
}

}  // namespace
}  // namespace morvane
