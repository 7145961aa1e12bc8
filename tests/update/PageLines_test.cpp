#include "update/PageLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qm;

namespace {
std::vector<std::string> linesOf(std::string_view page) {
    PageLines lines(page);
    std::vector<std::string> out;
    std::string_view line;
    while (lines.next(line))
        out.emplace_back(line);
    return out;
}
} // namespace

TEST(PageLines, SplitAtEveryKindOfLineBreakAndKeepEveryOtherByte) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {std::string("x\x1Ay\n\0z", 6), {"x\x1Ay", std::string("\0z", 2)}},
    };
    for (const auto& [page, expected] : cases)
        EXPECT_EQ(linesOf(page), expected) << page;
}
