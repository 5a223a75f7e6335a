// What each symbology lays out: worked examples, the width formulas, labels,
// check characters and messages, one row per case.
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

std::vector<std::int32_t> Head(const Drawing& d, std::size_t n)
{
    return {d.columns.begin(), d.columns.begin() + static_cast<std::ptrdiff_t>(std::min(n, d.columns.size()))};
}

} // namespace

TEST(Encode, WorkedExamples)
{
    struct Row {
        const char* name;
        Drawing d;
        std::vector<std::int32_t> head;
        std::int32_t last;
        std::size_t count;
        std::u16string label;
        double labelX;
    } rows[] = {{"Code 39 A", Draw(C39, u"A", 0, 1, 0), {20, 24, 26, 27, 28}, 66, 27, u"A", 40},
        {"Code 39 A, P", Draw(C39, u"A", 1, 1, 0), {20, 25, 28}, 80, 27, u"A", 42},
        {"Code 39 CODE39 + check", Draw(C39, u"CODE39", 0, 1, 1), {20}, 20 + 7 * 16 + 15 - 1 + 16, 0, u"CODE39W", 65},
        {"I 2 of 5 1234", Draw(I25, u"1234", 0, 1, 0), {20, 22, 24, 25, 26}, 64, 24, u"1234", 28},
        {"I 2 of 5 1234 P + check", Draw(I25, u"1234", 1, 1, 1), {20}, 100, 0, u"012348", 39.8},
        {"Code 128 AB", Draw(C128, u"AB", 0, 1, 0), {20, 21, 23, 26, 31}, 76, 28, u"AB", 36},
        {"Code 128 AB, P", Draw(C128, u"AB", 1, 1, 0), {20, 21, 24, 28, 34}, 91, 28, u"AB", 40},
        {"Codabar 1", Draw(CBAR, u"1", 0, 1, 0), {20, 22, 23, 24, 28, 32, 34}, 58, 18, u"1", 33},
        {"Codabar 1, P", Draw(CBAR, u"1", 1, 1, 0), {20, 23, 24, 25, 30, 35}, 69, 18, u"1", 35}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(r.d.kind, Drawing::Kind::Bars);
        EXPECT_EQ(Head(r.d, r.head.size()), r.head);
        EXPECT_TRUE(r.d.columns.back() == r.last && (!r.count || r.d.columns.size() == r.count));
        EXPECT_TRUE(r.d.label == r.label && r.d.labelX == r.labelX && r.d.labelShown);
        EXPECT_TRUE(r.d.top == 1 && r.d.bottom == 50);
    }
}

TEST(Encode, WidthsFollowTheFormulas)
{
    // Right end of the bars (the pen after the stop pattern), from the count
    // of characters drawn m, with and without wider spaces.
    struct Row {
        Symbology s;
        std::u16string text;
        int C;
        std::int64_t m; // characters in the symbol between start and stop
    } rows[] = {{C39, u"A", 0, 1}, {C39, u"HELLO WORLD", 1, 12}, {C39, u"-. $/+%", 0, 7}, {I25, u"1", 0, 2},
        {I25, u"98765", 1, 6}, {I25, u"0000000000", 0, 10}, {C128, u"A", 0, 2}, {C128, u"Hello, World!", 1, 14},
        {C128, u"{|}~", 0, 5}};
    for (const auto& r : rows)
        for (int P : {0, 1}) {
            const Drawing d = Draw(r.s, r.text, P, 0, r.C);
            std::int64_t width = 0;
            switch (r.s) {
            case C39: width = (r.m + 1) * (16 + 5 * P) + 15 + 4 * P; break;
            case I25: width = 9 + 3 * P + (r.m / 2) * (18 + 5 * P); break;
            default: width = 11 * (r.m + 2) + 2 + P * (3 * (r.m + 1) + 3); break;
            }
            EXPECT_TRUE(d.columns.back() == 20 + width - 1 && d.end == 20 + width && d.bottom == 58)
                << std::string(r.text.begin(), r.text.end()) << " P" << P;
        }
}

TEST(Encode, LabelsAndCheckCharacters)
{
    struct Row {
        Symbology s;
        std::u16string text;
        int C;
        std::u16string label;
    } rows[] = {{C39, u"abc", 1, u"ABCX"}, {C39, u"abc", 0, u"ABC"}, {C39, u"12345", 1, u"12345F"},
        {C39, u"0", 1, u"00"}, {C39, u"a-b", 0, u"A-B"}, {C39, u"   ", 0, u"   "}, {C39, u"\u0131\u017f", 0, u"IS"},
        {I25, u"123", 0, u"0123"}, {I25, u"123", 1, u"1236"}, {I25, u"1", 1, u"17"}, {I25, u"55", 1, u"0550"},
        {C128, u"abc", 1, u"abc"}, {CBAR, u"a12a", 1, u"a12a"}};
    for (const auto& r : rows)
        EXPECT_EQ(Draw(r.s, r.text, 0, 1, r.C).label, r.label) << std::string(r.text.begin(), r.text.end());
    // Lower case is drawn as upper case; Code 128 keeps case; C changes
    // nothing in Code 128 and Codabar.
    EXPECT_EQ(Draw(C39, u"abc", 1, 1, 1).columns, Draw(C39, u"ABC", 1, 1, 1).columns);
    EXPECT_NE(Draw(C128, u"abc", 0, 0, 0).columns, Draw(C128, u"ABC", 0, 0, 0).columns);
    EXPECT_EQ(Draw(C128, u"Hi", 0, 1, 0).columns, Draw(C128, u"Hi", 0, 1, 1).columns);
    EXPECT_EQ(Draw(CBAR, u"a1b2", 1, 1, 0).columns, Draw(CBAR, u"a1b2", 1, 1, 1).columns);
}

TEST(Encode, MessagesBlankAndUnknownSymbology)
{
    struct Row {
        Symbology s;
        std::u16string text;
        std::u16string message;
    } rows[] = {{C39, u"A*B", u"* : Caractère non valide !"}, {C39, u"ABCé", u"É : Caractère non valide !"},
        {C39, u"A\U0001F600", u"\U0001F600 : Caractère non valide !"}, {C39, u"ABC\n", u"\n : Caractère non valide !"},
        {I25, u"12a4", u"a : Caractère non valide"}, {I25, u" 12", u"  : Caractère non valide"},
        {C128, u"ABC\u00e9", u" : Caractère(s) non valide(s)"},
        {C128, std::u16string(1, u'\0'), u" : Caractère(s) non valide(s)"},
        {C128, u"\x7f", u" : Caractère(s) non valide(s)"}, {CBAR, u"12A", u"A : Caractère non valide"},
        {CBAR, u"12*", u"* : Caractère non valide"}};
    for (const auto& r : rows) {
        const Drawing d = Draw(r.s, r.text, 1, 1, 0, 481);
        EXPECT_TRUE(d.kind == Drawing::Kind::Message && d.message == r.message && d.columns.empty() && !d.labelShown);
    }
    // An empty text is blank; an unknown symbology changes nothing.
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(Draw(static_cast<Symbology>(s), u"", 1, 1, 1).kind, Drawing::Kind::Blank);
    for (int s : {4, -1, 1000})
        EXPECT_EQ(Draw(static_cast<Symbology>(s), u"ABC", 1, 1, 1).kind, Drawing::Kind::Unchanged);
}

// A picture of width w shows exactly what an unlimited drawing shows left of
// w, for a megabyte of text as fast as for a line; the text is still checked
// to its end.
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
            EXPECT_TRUE(cut.cut && !cut.labelShown); // the label starts far to the right
        }
        EXPECT_FALSE(Draw(s, sample, 1, 1, 1, 481).cut);
        EXPECT_EQ(Draw(s, longText + u"\u00e9", 1, 1, 1, 481).kind, Drawing::Kind::Message);
    }
}

// The check character of a long text, against the weighted sum in exact
// arithmetic: its columns are those of the one-character text with that check.
TEST(Encode, Code128CheckCharacterOfAVeryLongText)
{
    std::u16string text;
    for (int i = 0; i < 200000; ++i)
        text.push_back(static_cast<char16_t>(u'~' - i % 7));
    unsigned long long exact = 104;
    for (std::size_t i = 0; i < text.size(); ++i)
        exact += (i + 1) * static_cast<unsigned long long>(text[i] - 32);
    const int check = static_cast<int>(exact % 103);
    const int v = check == 0 ? 102 : check - 1; // "c" has the check (104 + v) mod 103
    ASSERT_LE(v, 94) << "pick another text";

    auto columnsBetween = [](const Drawing& d, std::int64_t from, std::int64_t to) {
        std::vector<std::int64_t> out;
        for (auto x : d.columns)
            if (x >= from && x < to)
                out.push_back(x - from);
        return out;
    };
    const Drawing d = Draw(C128, text, 0, 0, 0);
    const std::int64_t checkStart = d.end - 13 - 11;
    const Drawing ref = Draw(C128, std::u16string(1, static_cast<char16_t>(32 + v)), 0, 0, 0);
    EXPECT_EQ(columnsBetween(d, checkStart, checkStart + 11), columnsBetween(ref, 42, 53));
}
