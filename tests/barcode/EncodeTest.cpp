// What each symbology lays out: the width formulas, labels, check characters and messages, one row per case.
#include "barcode/Symbologies.h"

#include <gtest/gtest.h>

using namespace zebrix;

namespace {

constexpr auto C39 = Symbology::Code39;
constexpr auto I25 = Symbology::Interleaved2of5;
constexpr auto C128 = Symbology::Code128;
constexpr auto CBAR = Symbology::Codabar;

Drawing Draw(Symbology s, std::u16string_view text, int P, int L, int C, std::int64_t visible = kNoLimit)
{
    return Encode(s, text, Options{P, L, C}, visible);
}

} // namespace

TEST(Encode, WidthsFollowTheFormulas)
{
    // The bars' right end (the pen after the stop), from the characters m between start and stop, P or not.
    const std::tuple<Symbology, std::u16string, int, std::int64_t> rows[] = {{C39, u"A", 0, 1},
        {C39, u"HELLO WORLD", 1, 12}, {C39, u"-. $/+%", 0, 7}, {I25, u"1", 0, 2}, {I25, u"98765", 1, 6},
        {I25, u"0000000000", 0, 10}, {C128, u"A", 0, 2}, {C128, u"Hello, World!", 1, 14}, {C128, u"{|}~", 0, 5}};
    for (const auto& [s, text, C, m] : rows)
        for (int P : {0, 1}) {
            const Drawing d = Draw(s, text, P, 0, C);
            std::int64_t width = 0;
            switch (s) {
            case C39: width = (m + 1) * (16 + 5 * P) + 15 + 4 * P; break;
            case I25: width = 9 + 3 * P + (m / 2) * (18 + 5 * P); break;
            default: width = 11 * (m + 2) + 2 + P * (3 * (m + 1) + 3); break;
            }
            SCOPED_TRACE(std::string(text.begin(), text.end()) + " P" + std::to_string(P));
            EXPECT_EQ(d.columns.back(), 20 + width - 1);
            EXPECT_EQ(d.end, 20 + width);
            EXPECT_EQ(d.bottom, 58); // no label: the bars go down to the label's place
        }
}

TEST(Encode, LabelsAndCheckCharacters)
{
    const std::tuple<Symbology, std::u16string, int, std::u16string> rows[]
        = {{C39, u"abc", 1, u"ABCX"}, {C39, u"abc", 0, u"ABC"}, {C39, u"12345", 1, u"12345F"}, {C39, u"0", 1, u"00"},
            {C39, u"a-b", 0, u"A-B"}, {C39, u"   ", 0, u"   "}, {C39, u"\u0131\u017f", 0, u"IS"},
            {I25, u"123", 0, u"0123"}, {I25, u"123", 1, u"1236"}, {I25, u"1", 1, u"17"}, {I25, u"55", 1, u"0550"},
            {C128, u"abc", 1, u"abc"}, {CBAR, u"a12a", 1, u"a12a"}};
    for (const auto& [s, text, C, label] : rows)
        EXPECT_EQ(Draw(s, text, 0, 1, C).label, label) << std::string(text.begin(), text.end());
    // C changes nothing in Code 128 and Codabar.
    EXPECT_EQ(Draw(C128, u"Hi", 0, 1, 0).columns, Draw(C128, u"Hi", 0, 1, 1).columns);
    EXPECT_EQ(Draw(CBAR, u"a1b2", 1, 1, 0).columns, Draw(CBAR, u"a1b2", 1, 1, 1).columns);
}

TEST(Encode, MessagesBlankAndUnknownSymbology)
{
    const std::tuple<Symbology, std::u16string, std::u16string> rows[] = {{C39, u"A*B", u"* : Caractère non valide !"},
        {C39, u"ABCé", u"É : Caractère non valide !"},
        {C39, u"A\U0001F600", u"\U0001F600 : Caractère non valide !"},
        {C39, u"ABC\n", u"\n : Caractère non valide !"}, {I25, u"12a4", u"a : Caractère non valide"},
        {I25, u" 12", u"  : Caractère non valide"}, {C128, u"ABC\u00e9", u" : Caractère(s) non valide(s)"},
        {C128, std::u16string(1, u'\0'), u" : Caractère(s) non valide(s)"},
        {C128, u"\x7f", u" : Caractère(s) non valide(s)"}, {CBAR, u"12A", u"A : Caractère non valide"},
        {CBAR, u"12*", u"* : Caractère non valide"}};
    for (const auto& [s, text, message] : rows) {
        const Drawing d = Draw(s, text, 1, 1, 0, 481);
        EXPECT_EQ(d.kind, Drawing::Kind::Message);
        EXPECT_EQ(d.message, message);
        EXPECT_TRUE(d.columns.empty());
    }
    // An empty text is blank; an unknown symbology changes nothing.
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(Draw(static_cast<Symbology>(s), u"", 1, 1, 1).kind, Drawing::Kind::Blank);
    for (int s : {4, -1, 1000})
        EXPECT_EQ(Draw(static_cast<Symbology>(s), u"ABC", 1, 1, 1).kind, Drawing::Kind::Unchanged);
}

// A picture of width w shows exactly what an unlimited drawing shows left of w, for a megabyte of text as fast
// as for a line; the text is still checked to its end.
TEST(Encode, NothingIsLaidOutPastTheVisibleWidth)
{
    const std::pair<Symbology, std::u16string> samples[]
        = {{C39, u"CODE 39"}, {I25, u"1234567"}, {C128, u"Code 128!"}, {CBAR, u"a123$45d"}};
    for (const auto& [s, sample] : samples) {
        std::u16string longText;
        while (longText.size() < 1'000'000)
            longText += sample;
        const Drawing full = Draw(s, longText.substr(0, 3000), 1, 1, 1);
        for (std::int64_t width : {0, 21, 100, 481, 2000}) {
            const Drawing cut = Draw(s, longText, 1, 1, 1, width);
            std::vector<std::int32_t> expected;
            std::copy_if(full.columns.begin(), full.columns.end(), std::back_inserter(expected),
                [&](std::int32_t x) { return x < width; });
            EXPECT_EQ(cut.columns, expected) << width;
            EXPECT_TRUE(cut.cut);
            EXPECT_FALSE(cut.labelShown); // the label starts far to the right
        }
        EXPECT_FALSE(Draw(s, sample, 1, 1, 1, 481).cut);
        EXPECT_EQ(Draw(s, longText + u"\u00e9", 1, 1, 1, 481).kind, Drawing::Kind::Message);
    }
}

// The check character of a long text, against the weighted sum in exact arithmetic: its 11 modules (before the
// 13 of the stop pattern) are those of the one-character text "c" of the same check, (104 + c - 32) mod 103.
TEST(Encode, Code128CheckCharacterOfAVeryLongText)
{
    std::u16string text;
    unsigned long long sum = 104;
    for (int i = 0; i < 200000; ++i) {
        text.push_back(static_cast<char16_t>(u'~' - i % 7));
        sum += (i + 1ull) * static_cast<unsigned long long>(text.back() - 32);
    }
    const int v = static_cast<int>((sum + 102) % 103); // c - 32
    ASSERT_LE(v, 94) << "pick another text";
    const auto modules = [](const Drawing& d, std::int64_t from) {
        std::vector<std::int64_t> out;
        for (auto x : d.columns)
            if (x >= from && x < from + 11)
                out.push_back(x - from);
        return out;
    };
    const Drawing d = Draw(C128, text, 0, 0, 0);
    EXPECT_EQ(modules(d, d.end - 24), modules(Draw(C128, std::u16string(1, char16_t(32 + v)), 0, 0, 0), 42));
}
