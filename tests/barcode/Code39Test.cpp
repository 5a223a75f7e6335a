#include "barcode/Symbologies.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace zebrix;
using zebrix::test::ClearCall;
using zebrix::test::PositionCall;
using zebrix::test::RecordingSurface;

namespace {

RecordingSurface Draw(std::u16string_view text, int P, int L, int C)
{
    RecordingSurface s;
    DrawCode39(s, text, Options{P, L, C});
    return s;
}

} // namespace

TEST(Code39, LowerCaseIsDrawnAsUpperCaseWithCheckCharacterInTheLabel)
{
    const auto lower = Draw(u"abc", 1, 1, 1);
    const auto upper = Draw(u"ABC", 1, 1, 1);
    EXPECT_EQ(lower.calls, upper.calls);
    EXPECT_EQ(lower.texts(), std::vector<std::u16string>{u"ABCX"}); // 10 + 11 + 12 = 33 -> X
    EXPECT_EQ(Draw(u"abc", 1, 1, 0).texts(), std::vector<std::u16string>{u"ABC"});
}

TEST(Code39, CheckCharacters)
{
    auto code39 = Draw(u"CODE39", 0, 1, 1);
    EXPECT_EQ(code39.texts(), std::vector<std::u16string>{u"CODE39W"}); // 75 mod 43 = 32
    EXPECT_EQ(code39.positions(), (std::vector<PositionCall>{{65, 50}}));
    EXPECT_EQ(Draw(u"12345", 0, 1, 1).texts(), std::vector<std::u16string>{u"12345F"});
    EXPECT_EQ(Draw(u"0", 0, 1, 1).texts(), std::vector<std::u16string>{u"00"}); // check value 0
}

TEST(Code39, SingleLetterGeometry)
{
    auto a = Draw(u"A", 0, 1, 0);
    auto xs = a.lineXs();
    ASSERT_EQ(xs.size(), 27u);
    EXPECT_EQ(xs.front(), 20);
    EXPECT_EQ(xs.back(), 66);
    EXPECT_EQ(a.positions(), (std::vector<PositionCall>{{40, 50}}));

    auto p = Draw(u"A", 1, 1, 0);
    EXPECT_EQ(p.lineXs().back(), 80);
    EXPECT_EQ(p.positions(), (std::vector<PositionCall>{{42, 50}}));
}

TEST(Code39, WidthFollowsTheFormula)
{
    for (int P : {0, 1})
        for (int C : {0, 1})
            for (std::u16string text : {u"A", u"HELLO WORLD", u"-. $/+%"}) {
                const auto xs = Draw(text, P, 0, C).lineXs();
                const auto n = static_cast<int>(text.size());
                const int W = (n + C + 1) * (16 + 5 * P) + 15 + 4 * P;
                EXPECT_EQ(xs.back(), 20 + W - 1) << P << C;
            }
}

TEST(Code39, InvalidCharacterLeavesOnlyTheMessage)
{
    auto star = Draw(u"A*B", 1, 1, 0);
    ASSERT_EQ(star.calls.size(), 2u);
    EXPECT_EQ(star.calls[0], zebrix::test::Call{ClearCall{}});
    EXPECT_EQ(star.texts(), std::vector<std::u16string>{u"* : Caractère non valide !"});
    // The character shown is upper-cased; the last character is checked too.
    EXPECT_EQ(Draw(u"ABCé", 1, 1, 0).texts(), std::vector<std::u16string>{u"É : Caractère non valide !"});
    EXPECT_TRUE(Draw(u"ABC\n", 1, 1, 0).lines().empty());
    // A character outside the basic plane is shown whole.
    EXPECT_EQ(Draw(u"A\U0001F600", 0, 1, 0).texts(), std::vector<std::u16string>{u"\U0001F600 : Caractère non valide !"});
}

TEST(Code39, OtherValidInputs)
{
    EXPECT_EQ(Draw(u"a-b", 0, 1, 0).texts(), std::vector<std::u16string>{u"A-B"});
    EXPECT_EQ(Draw(u"   ", 0, 1, 0).texts(), std::vector<std::u16string>{u"   "});
    // Dotless i and long s upper-case to I and S, so they are encoded as such.
    EXPECT_EQ(Draw(u"\u0131\u017f", 0, 1, 0).calls, Draw(u"IS", 0, 1, 0).calls);
}

TEST(Code39, EmptyTextOnlyClears)
{
    EXPECT_EQ(Draw(u"", 1, 1, 1).calls, (std::vector<zebrix::test::Call>{ClearCall{}}));
}
