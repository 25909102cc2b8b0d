#include "document/contentsniff.h"

#include <gtest/gtest.h>

#include "testfiles.h"

namespace morvane {
namespace {

struct TSniffCase {
    const char* Name;
    std::string Head;
    bool Text;
};

class ContentSniffTest : public testing::TestWithParam<TSniffCase> {};

TEST_P(ContentSniffTest, TellsTextFromBinary) {
    EXPECT_EQ(LooksLikeText(GetParam().Head), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Heads, ContentSniffTest,
    testing::Values(TSniffCase{"Empty", "", true},
                    TSniffCase{"AnsiArt", "\x1B[1;33m\xA1\xF4\xA1\xF4\x1B[m\r\n", true},
                    TSniffCase{"Big5WithControlBytes", "\x1B*s\xA1\xB4\x08\t\x0C", true},
                    TSniffCase{"Utf8", "\xE2\x94\x80\xE2\x94\x80\n", true},
                    TSniffCase{"NulByte", std::string("ab\0cd", 5), false},
                    TSniffCase{"NulPastTheHead", std::string(kSniffBytes, 'a') + '\0', true},
                    TSniffCase{"Png", "\x89PNG\r\n\x1A\n", false},
                    TSniffCase{"Gif", "GIF89a\x10\x10", false},
                    TSniffCase{"Jpeg", "\xFF\xD8\xFF\xE0", false},
                    TSniffCase{"Gzip", "\x1F\x8B\x08", false},
                    TSniffCase{"Zip", "PK\x03\x04\x14", false},
                    TSniffCase{"Elf",
                               "\x7F"
                               "ELF\x02\x01",
                               false},
                    TSniffCase{"Pdf", "%PDF-1.4\n", false},
                    TSniffCase{"TextThatMentionsPk", "PK and GIF are words here", true}),
    [](const auto& info) { return info.param.Name; });

TEST(ContentSniffFileTest, ReadsOnlyTheHeadAndRefusesWhatCannotBeRead) {
    test::TTempFolder dir;
    EXPECT_TRUE(FileLooksLikeText(dir.Write("long", std::string(kSniffBytes, 'x') + '\0')));
    EXPECT_FALSE(FileLooksLikeText(dir.Write("short", std::string("x\0", 2))));
    EXPECT_FALSE(FileLooksLikeText(dir.Path() + "missing"));
}

}  // namespace
}  // namespace morvane
