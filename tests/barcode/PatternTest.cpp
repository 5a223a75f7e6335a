#include "barcode/Pattern.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace zebrix;
using zebrix::test::RecordingSurface;

namespace {

std::vector<int> Render(std::string_view pattern, WidthRule rule, int P, std::int64_t* end = nullptr,
                        std::int64_t visible = kNoLimit)
{
    RecordingSurface s;
    const auto x = RenderPattern(s, pattern, rule, Options{P, 1, 0}, 20, visible);
    if (end)
        *end = x;
    return s.lineXs();
}

} // namespace

TEST(RenderPattern, NarrowWideRuleWithAndWithoutWiderSpaces)
{
    std::int64_t end = 0;
    EXPECT_EQ(Render("010010100", WidthRule::NarrowWide, 0, &end), (std::vector<int>{20, 24, 26, 27, 28, 30, 31, 32, 34}));
    EXPECT_EQ(end, 35);
    EXPECT_EQ(Render("010010100", WidthRule::NarrowWide, 1, &end), (std::vector<int>{20, 25, 28, 29, 30, 33, 34, 35, 38}));
    EXPECT_EQ(end, 39);
}

TEST(RenderPattern, ModuleCountRule)
{
    std::int64_t end = 0;
    EXPECT_EQ(Render("212222", WidthRule::ModuleCount, 0, &end), (std::vector<int>{20, 21, 23, 24, 27, 28}));
    EXPECT_EQ(end, 31);
}

TEST(RenderPattern, LinesAreVerticalInBlackAndEndAtTheLabelOrBelow)
{
    for (int L : {0, 1}) {
        RecordingSurface s;
        RenderPattern(s, "1", WidthRule::NarrowWide, Options{0, L, 0}, 20);
        ASSERT_EQ(s.lines().size(), 3u);
        for (const auto& l : s.lines()) {
            EXPECT_EQ(l.x1, l.x2);
            EXPECT_EQ(l.y1, 1);
            EXPECT_EQ(l.y2, L ? 50 : 58);
            EXPECT_EQ(l.colour, 0);
        }
    }
}

TEST(RenderPattern, NonDigitsCountAsZero)
{
    EXPECT_EQ(ElementWidth('x', WidthRule::NarrowWide), 1);
    EXPECT_EQ(ElementWidth('x', WidthRule::ModuleCount), 0);
}

TEST(RenderPattern, NothingIsDrawnFromTheVisibleWidthOn)
{
    const auto all = Render("0101010101", WidthRule::NarrowWide, 0);
    const auto cut = Render("0101010101", WidthRule::NarrowWide, 0, nullptr, 30);
    std::vector<int> expected;
    for (int x : all)
        if (x < 30)
            expected.push_back(x);
    EXPECT_EQ(cut, expected);
}
