#include "document/textlines.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

struct TSplitCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Lines;
};

class SplitTextLinesTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitTextLinesTest, SplitsAsTheFileWasMeant) {
    EXPECT_EQ(SplitTextLines(GetParam().Text), GetParam().Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, SplitTextLinesTest,
    testing::Values(TSplitCase{"CrLf", "a\r\nb", {"a", "b"}}, TSplitCase{"Lf", "a\nb", {"a", "b"}},
                    TSplitCase{"LoneCr", "a\rb", {"a", "b"}},
                    TSplitCase{"FinalBreakAddsNoLine", "a\r\n", {"a"}},
                    TSplitCase{"EmptyLinesKept", "a\n\n\r\nb", {"a", "", "", "b"}},
                    TSplitCase{"CrCrLfIsTwoBreaks", "a\r\r\nb", {"a", "", "b"}},
                    TSplitCase{"TextEndsAtNul", std::string("a\nb\0c\nd", 7), {"a", "b"}},
                    TSplitCase{"Empty", "", {}}, TSplitCase{"OnlyABreak", "\r\n", {""}}),
    [](const auto& info) { return info.param.Name; });

TEST(JoinCrLfTest, EndsEveryLineWithCrLf) {
    EXPECT_EQ(JoinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinCrLf({}), "");
}

}  // namespace
}  // namespace morvane
