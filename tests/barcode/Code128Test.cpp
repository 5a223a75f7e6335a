#include "barcode/Symbologies.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace zebrix;
using zebrix::test::PositionCall;
using zebrix::test::RecordingSurface;

namespace {

RecordingSurface Draw(std::u16string_view text, int P, int L, int C = 0)
{
    RecordingSurface s;
    DrawCode128(s, text, Options{P, L, C});
    return s;
}

// Columns of the symbol without any P widening: 11 (n + 3) + 2 modules.
int Modules(std::size_t n) { return static_cast<int>(11 * (n + 3) + 2); }

} // namespace

TEST(Code128, WorkedExampleAB)
{
    auto s = Draw(u"AB", 0, 1);
    auto xs = s.lineXs();
    ASSERT_EQ(xs.size(), 28u);
    EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 5), (std::vector<int>{20, 21, 23, 26, 31}));
    EXPECT_EQ(xs.back(), 76); // the pen ends at 77
    EXPECT_EQ(s.positions(), (std::vector<PositionCall>{{36, 50}}));
    EXPECT_EQ(s.texts(), std::vector<std::u16string>{u"AB"});

    auto p = Draw(u"AB", 1, 1);
    xs = p.lineXs();
    EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 5), (std::vector<int>{20, 21, 24, 28, 34}));
    EXPECT_EQ(xs.back(), 91);
    EXPECT_EQ(p.positions(), (std::vector<PositionCall>{{40, 50}}));
}

TEST(Code128, EveryCharacterIsElevenModulesWideAndTheCheckIsRight)
{
    // One symbol per printable character: the bar widths of the whole symbol
    // add up to 11 per character, and the check character follows the sum.
    for (char16_t c = u' '; c <= u'~'; ++c) {
        const std::u16string text(1, c);
        auto s = Draw(text, 0, 0);
        EXPECT_EQ(s.lineXs().back(), 20 + Modules(1) - 1) << int(c);
    }
    EXPECT_EQ(Draw(u"~", 0, 1).texts(), std::vector<std::u16string>{u"~"});
}

TEST(Code128, LettersKeepTheirCaseAndDigitsStayInSetB)
{
    EXPECT_NE(Draw(u"abc", 0, 0).calls, Draw(u"ABC", 0, 0).calls);
    auto digits = Draw(u"123456", 0, 0);
    EXPECT_EQ(digits.lineXs().back(), 20 + Modules(6) - 1);
}

TEST(Code128, WidthWithWiderSpacesAndCIgnored)
{
    for (std::u16string text : {u"A", u"Hello, World!", u"{|}~"}) {
        const auto n = static_cast<int>(text.size());
        EXPECT_EQ(Draw(text, 1, 0).lineXs().back(), 20 + 14 * n + 44 - 1);
        EXPECT_EQ(Draw(text, 0, 1, 0).calls, Draw(text, 0, 1, 1).calls);
    }
}

TEST(Code128, InvalidCharactersAnywhere)
{
    for (std::u16string text : {std::u16string(u"\x7f"), std::u16string(u"\t"), std::u16string(u"é"),
                                std::u16string(u"ABC\u00e9"), std::u16string(u"AB\n"), std::u16string(1, u'\0'),
                                std::u16string(u"A\U0001F600")}) {
        auto s = Draw(text, 1, 1);
        EXPECT_TRUE(s.lines().empty());
        EXPECT_EQ(s.texts(), std::vector<std::u16string>{u" : Caractère(s) non valide(s)"});
    }
}

// The check character of a long text, against a direct computation of the
// weighted sum in exact arithmetic.
TEST(Code128, CheckCharacterOfAVeryLongText)
{
    std::u16string text;
    for (int i = 0; i < 200000; ++i)
        text.push_back(static_cast<char16_t>(u'~' - i % 7)); // large values
    unsigned long long exact = 104;
    for (std::size_t i = 0; i < text.size(); ++i)
        exact += (i + 1) * static_cast<unsigned long long>(text[i] - 32);
    const auto check = static_cast<int>(exact % 103);

    // Compare against a short text with the same check: draw both, then look
    // at the columns of the check character, just before Stop.
    RecordingSurface s;
    DrawCode128(s, text, Options{0, 0, 0});
    const auto xs = s.lineXs();
    const int stopStart = 20 + Modules(text.size()) - 13;
    const int checkStart = stopStart - 11;
    std::vector<int> checkCols;
    for (int x : xs)
        if (x >= checkStart && x < stopStart)
            checkCols.push_back(x - checkStart);

    // Reference: the one-character text whose check value is `check`.
    // For text "c", check = (104 + v) mod 103 = v + 1; so v = check - 1 (or 102 for 0).
    const int v = check == 0 ? 102 : check - 1;
    ASSERT_LE(v, 94) << "pick another text";
    RecordingSurface ref;
    DrawCode128(ref, std::u16string(1, static_cast<char16_t>(32 + v)), Options{0, 0, 0});
    std::vector<int> refCols;
    for (int x : ref.lineXs())
        if (x >= 20 + 11 + 11 && x < 20 + 33)
            refCols.push_back(x - (20 + 22));
    EXPECT_EQ(checkCols, refCols);
}
