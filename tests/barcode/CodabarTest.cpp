#include "barcode/Symbologies.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace zebrix;
using zebrix::test::PositionCall;
using zebrix::test::RecordingSurface;

namespace {

RecordingSurface Draw(std::u16string_view text, int P, int L, int C = 0)
{
    RecordingSurface s;
    DrawCodabar(s, text, Options{P, L, C});
    return s;
}

} // namespace

TEST(Codabar, WorkedExampleOne)
{
    auto s = Draw(u"1", 0, 1);
    auto xs = s.lineXs();
    ASSERT_EQ(xs.size(), 18u);
    EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 7), (std::vector<int>{20, 22, 23, 24, 28, 32, 34}));
    EXPECT_EQ(xs.back(), 58); // pen ends at 59
    EXPECT_EQ(s.positions(), (std::vector<PositionCall>{{33, 50}}));

    auto p = Draw(u"1", 1, 1);
    xs = p.lineXs();
    EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 6), (std::vector<int>{20, 23, 24, 25, 30, 35}));
    EXPECT_EQ(xs.back(), 69);
    EXPECT_EQ(p.positions(), (std::vector<PositionCall>{{35, 50}}));
}

TEST(Codabar, DigitsOnlyAndTypedStartStopLetters)
{
    EXPECT_EQ(Draw(u"12", 0, 0).lineXs().back(), 70); // pen ends at 71
    // "a12a" is six characters between the bars: a a 1 2 a a.
    const auto a12a = Draw(u"a12a", 0, 0).lineXs().back();
    const auto twelve = Draw(u"12", 0, 0).lineXs().back();
    EXPECT_EQ(a12a - twelve, 2 * (13 + 1));
    EXPECT_EQ(Draw(u"a12a", 0, 1).texts(), std::vector<std::u16string>{u"a12a"});
}

TEST(Codabar, SignsHaveTheirWidths)
{
    // 11 + 11 + 13 * 4 columns, plus a gap after each, between start and stop.
    const auto xs = Draw(u"-$:/.+", 0, 0).lineXs();
    EXPECT_EQ(xs.back(), 20 + 13 + 1 + (11 + 11 + 13 * 4) + 6 + 13 - 1);
}

TEST(Codabar, RefusedCharactersAndCIgnored)
{
    for (std::u16string bad : {u"A", u"B", u"C", u"D", u" ", u"*"}) {
        auto s = Draw(u"12" + bad, 1, 1);
        EXPECT_TRUE(s.lines().empty());
        EXPECT_EQ(s.texts(), std::vector<std::u16string>{bad + u" : Caractère non valide"});
    }
    EXPECT_EQ(Draw(u"a1b2c3d", 1, 1, 0).calls, Draw(u"a1b2c3d", 1, 1, 1).calls);
}
