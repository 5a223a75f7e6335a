#include "barcode/Symbologies.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

using namespace zebrix;
using zebrix::test::PositionCall;
using zebrix::test::RecordingSurface;

namespace {

RecordingSurface Draw(std::u16string_view text, int P, int L, int C)
{
    RecordingSurface s;
    DrawInterleaved2of5(s, text, Options{P, L, C});
    return s;
}

} // namespace

TEST(Interleaved2of5, EvenTextWithoutCheck)
{
    auto s = Draw(u"1234", 0, 1, 0);
    const auto xs = s.lineXs();
    ASSERT_EQ(xs.size(), 24u);
    EXPECT_EQ(xs.front(), 20);
    EXPECT_EQ(xs.back(), 64);
    EXPECT_EQ(s.texts(), std::vector<std::u16string>{u"1234"});
    EXPECT_EQ(s.positions(), (std::vector<PositionCall>{{28, 50}}));
}

TEST(Interleaved2of5, LeadingZeroAndCheckDigit)
{
    EXPECT_EQ(Draw(u"123", 0, 1, 0).texts(), std::vector<std::u16string>{u"0123"});
    EXPECT_EQ(Draw(u"123", 0, 1, 1).texts(), std::vector<std::u16string>{u"1236"}); // 3 + 2 + 9 = 14
    EXPECT_EQ(Draw(u"1", 0, 1, 1).texts(), std::vector<std::u16string>{u"17"});
    EXPECT_EQ(Draw(u"55", 0, 1, 1).texts(), std::vector<std::u16string>{u"0550"}); // sum 20 -> 0

    auto p = Draw(u"1234", 1, 1, 1);
    EXPECT_EQ(p.texts(), std::vector<std::u16string>{u"012348"});
    EXPECT_EQ(p.lineXs().back(), 100);
    ASSERT_EQ(p.positions().size(), 1u);
    EXPECT_FLOAT_EQ(p.positions()[0].x, 39.8f); // fractional with P = 1
}

TEST(Interleaved2of5, WidthFollowsTheFormula)
{
    for (int P : {0, 1})
        for (int C : {0, 1})
            for (std::u16string text : {u"1", u"12", u"98765", u"0000000000"}) {
                auto s = Draw(text, P, 1, C);
                const auto m = static_cast<int>(s.texts().at(0).size());
                const int W = 9 + 3 * P + (m / 2) * (18 + 5 * P);
                EXPECT_EQ(s.lineXs().back(), 20 + W - 1);
            }
}

TEST(Interleaved2of5, InvalidCharacters)
{
    auto s = Draw(u"12a4", 1, 1, 0);
    EXPECT_TRUE(s.lines().empty());
    EXPECT_EQ(s.texts(), std::vector<std::u16string>{u"a : Caractère non valide"});
    EXPECT_EQ(Draw(u" 12", 1, 1, 0).texts(), std::vector<std::u16string>{u"  : Caractère non valide"});
    EXPECT_EQ(Draw(u"1234567x", 1, 1, 1).texts(), std::vector<std::u16string>{u"x : Caractère non valide"});
}
