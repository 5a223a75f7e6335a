#include "barcode/Symbologies.h"
#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zebrix;
using zebrix::test::ClearCall;
using zebrix::test::RecordingSurface;

namespace {

using Encoder = std::function<void(Surface&, std::u16string_view, const Options&, std::int64_t)>;

struct Case {
    Symbology type;
    Encoder draw;
    std::u16string sample;
};

std::vector<Case> All()
{
    return {
        {Symbology::Code39, DrawCode39, u"CODE 39"},
        {Symbology::Interleaved2of5, DrawInterleaved2of5, u"1234567"},
        {Symbology::Code128, DrawCode128, u"Code 128!"},
        {Symbology::Codabar, DrawCodabar, u"a123$45d"},
    };
}

} // namespace

TEST(GenerateBarcode, DispatchesOnTheSymbologyIndex)
{
    for (const auto& s : All()) {
        RecordingSurface viaDispatch, direct;
        GenerateBarcode(viaDispatch, s.type, s.sample, Options{});
        s.draw(direct, s.sample, Options{}, kNoLimit);
        EXPECT_EQ(viaDispatch.calls, direct.calls) << static_cast<int>(s.type);
    }
}

TEST(GenerateBarcode, UnknownIndexLeavesTheSurfaceUntouched)
{
    for (std::int32_t index : {4, -1, 1000}) {
        RecordingSurface s;
        GenerateBarcode(s, static_cast<Symbology>(index), u"ABC", Options{});
        EXPECT_TRUE(s.calls.empty());
    }
}

TEST(GenerateBarcode, CommonGeometryForEveryOptionCombination)
{
    for (const auto& s : All())
        for (int P : {0, 1})
            for (int L : {0, 1})
                for (int C : {0, 1}) {
                    RecordingSurface r;
                    GenerateBarcode(r, s.type, s.sample, Options{P, L, C});
                    ASSERT_EQ(r.calls.front(), zebrix::test::Call{ClearCall{}});
                    const auto lines = r.lines();
                    ASSERT_FALSE(lines.empty());
                    EXPECT_EQ(lines.front().x1, 20);
                    for (const auto& l : lines) {
                        EXPECT_EQ(l.y1, 1);
                        EXPECT_EQ(l.y2, 58 - 8 * L);
                    }
                    EXPECT_EQ(r.texts().size(), static_cast<std::size_t>(L));
                    if (L) {
                        EXPECT_EQ(r.positions().back().y, 50);
                    }
                }
}

TEST(GenerateBarcode, EmptyTextOnlyClears)
{
    for (const auto& s : All()) {
        RecordingSurface r;
        GenerateBarcode(r, s.type, u"", Options{1, 1, 1});
        EXPECT_EQ(r.calls, (std::vector<zebrix::test::Call>{ClearCall{}}));
    }
}

// A surface of width w shows exactly what an unlimited drawing shows left of
// w, and nothing is drawn past it, even for a megabyte of text.
TEST(GenerateBarcode, DrawingStopsAtTheVisibleWidth)
{
    for (const auto& s : All()) {
        std::u16string longText;
        while (longText.size() < 1'000'000)
            longText += s.sample;
        for (std::int64_t width : {0, 21, 100, 481, 2000}) {
            RecordingSurface full, cut;
            GenerateBarcode(full, s.type, longText.substr(0, 3000), Options{1, 1, 1});
            GenerateBarcode(cut, s.type, longText, Options{1, 1, 1}, width);
            std::vector<int> expected;
            for (int x : full.lineXs())
                if (x < width)
                    expected.push_back(x);
            EXPECT_EQ(cut.lineXs(), expected) << static_cast<int>(s.type) << " width " << width;
            EXPECT_TRUE(cut.texts().empty()); // the label starts far to the right
        }
        // Validation still covers the whole text.
        RecordingSurface bad;
        GenerateBarcode(bad, s.type, longText + u"\u00e9", Options{1, 1, 1}, 481);
        EXPECT_TRUE(bad.lines().empty());
        EXPECT_EQ(bad.texts().size(), 1u);
    }
}
