#include "platform/gbcodec.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

TEST(GbCodecTest, DecodesGbkSymbolsAndReplacesBrokenBytes) {
    // 中 (GB2312), ╭ (GBK only), a broken lead byte, then ASCII.
    EXPECT_EQ(Gb18030ToUtf8("\xD6\xD0\xA8\x71\xFFok"), "\xE4\xB8\xAD\xE2\x95\xAD\xEF\xBF\xBDok");
}

TEST(GbCodecTest, RoundTripsGbBytes) {
    const std::string gb = "\xB0\xA1 \xA9\xB0\xA8\x80 text";
    EXPECT_EQ(Utf8ToGb18030(Gb18030ToUtf8(gb)), gb);
}

TEST(GbCodecTest, LongTextConvertsWhole) {
    std::string gb;
    for (int i = 0; i < 5000; ++i) gb += "\xD6\xD0";
    EXPECT_EQ(Gb18030ToUtf8(gb).size(), 15000u);
}

}  // namespace
}  // namespace morvane
