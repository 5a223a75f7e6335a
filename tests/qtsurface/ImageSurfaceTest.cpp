#include "barcode/Symbologies.h"
#include "qtsurface/ImageSurface.h"
#include "support/RecordingSurface.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <set>

using namespace zebrix;

namespace {

bool IsBlack(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// Rows 0..bottom of every column that holds a bar, and nothing else above the label.
void ExpectColumnsMatchLines(const QImage& image, const std::vector<int>& xs, int bottom)
{
    const std::set<int> bars(xs.begin(), xs.end());
    for (int x = 0; x < image.width(); ++x) {
        const bool bar = bars.count(x) > 0;
        EXPECT_FALSE(IsBlack(image, x, 0)) << "x " << x;
        for (int y = 1; y <= bottom - 1; ++y)
            ASSERT_EQ(IsBlack(image, x, y), bar) << "x " << x << " y " << y;
    }
}

} // namespace

TEST(ImageSurface, StartsWhiteAtTheDefaultSize)
{
    ImageSurface s;
    EXPECT_EQ(s.width(), 481);
    EXPECT_EQ(s.height(), 67);
    EXPECT_EQ(s.image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(s.image().pixel(480, 66), qRgb(255, 255, 255));
    // 96 dots per inch, so that a saved picture prints at its screen size.
    EXPECT_EQ(s.image().dotsPerMeterX(), 3780);
    s.resize(100, 67);
    EXPECT_EQ(s.image().dotsPerMeterY(), 3780);
}

TEST(ImageSurface, VerticalLinesCoverBothEndsInBlack)
{
    ImageSurface s;
    s.DrawLine(20, 1, 20, 58, 0);
    for (int y = 0; y < s.height(); ++y)
        EXPECT_EQ(IsBlack(s.image(), 20, y), y >= 1 && y <= 58) << y;
    EXPECT_FALSE(IsBlack(s.image(), 19, 10));
    EXPECT_FALSE(IsBlack(s.image(), 21, 10));
    // Off the surface: ignored, no crash.
    s.DrawLine(-5, 1, -5, 58, 0);
    s.DrawLine(100000, 1, 100000, 58, 0);
    s.DrawLine(30, -100, 30, 1e9f, 0);
    EXPECT_TRUE(IsBlack(s.image(), 30, 66));
}

TEST(ImageSurface, PixelsFollowTheDrawingColumnByColumn)
{
    for (Symbology type : {Symbology::Code39, Symbology::Interleaved2of5, Symbology::Code128, Symbology::Codabar})
        for (int P : {0, 1})
            for (int L : {0, 1}) {
                const std::u16string text = type == Symbology::Interleaved2of5 ? u"0123456789" : u"1234-5678";
                test::RecordingSurface recording;
                GenerateBarcode(recording, type, text, Options{P, L, 1});
                ImageSurface s(481);
                GenerateBarcode(s, type, text, Options{P, L, 1}, s.width());
                ExpectColumnsMatchLines(s.image(), recording.lineXs(), 58 - 8 * L);
            }
}

TEST(ImageSurface, OnlyBlackAndWhitePixels)
{
    ImageSurface s;
    GenerateBarcode(s, Symbology::Code128, u"Crisp label, no grey: Wg@%", Options{0, 1, 0}, s.width());
    bool sawText = false;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const QRgb p = s.image().pixel(x, y);
            ASSERT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
            sawText = sawText || (y > 52 && p == qRgb(0, 0, 0));
        }
    EXPECT_TRUE(sawText);
}

TEST(ImageSurface, BackgroundPictureStaysUnderEveryClearUntilRemoved)
{
    ImageSurface s;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    s.setBackgroundPicture(picture);
    s.Clear();
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(s.image().pixel(40, 5), qRgb(255, 255, 255));
    GenerateBarcode(s, Symbology::Code39, u"A", Options{0, 0, 0}, s.width());
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_TRUE(IsBlack(s.image(), 20, 5));
    s.clearBackgroundPicture();
    s.Clear();
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(255, 255, 255));
}

TEST(ImageSurface, TextStaysOnOneLineWhateverItHolds)
{
    // Line breaks, NUL, lone surrogates, combining and right-to-left marks.
    const std::u16string hostile = std::u16string(u"a\nb\r\nc\td") + char16_t(0) + u"\xD800 e\u0301\u202Eabc\u2028";
    ImageSurface s;
    s.PrintText(hostile);
    int lowest = -1;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (IsBlack(s.image(), x, y))
                lowest = std::max(lowest, y);
    EXPECT_GT(lowest, 0);
    EXPECT_LT(lowest, 16); // one line of an 11-pixel font
}

TEST(ImageSurface, AMessageNamesEvenAnInvisibleOrRightToLeftCharacterReadably)
{
    const auto printed = [](std::u16string_view text) {
        ImageSurface s;
        s.PrintText(text);
        return s.image();
    };
    const auto message = [](std::u16string_view text) {
        ImageSurface s;
        GenerateBarcode(s, Symbology::Code39, text, Options{1, 1, 0});
        return s.image();
    };
    // A direction override would turn the message round; a format character
    // or half a surrogate pair would draw nothing: each shows as its code.
    EXPECT_EQ(message(u"\u202EABC"), printed(u"U+202E : Caractère non valide !"));
    EXPECT_EQ(message(u"AB\u200F"), printed(u"U+200F : Caractère non valide !"));
    EXPECT_EQ(message(u"A\xD800"), printed(u"U+D800 : Caractère non valide !"));
    EXPECT_EQ(message(u"\U000E0041"), printed(u"U+E0041 : Caractère non valide !"));
    // A mark alone sits on a dotted circle.
    EXPECT_EQ(message(u"E\u0301"), printed(u"\u25CC\u0301 : Caractère non valide !"));

    // A Hebrew letter comes first, on the left, and the rest reads as usual:
    // the message is the text after it, moved right by the letter's width.
    const QImage hebrew = message(u"\u05D0");
    const QImage rest = printed(u" : Caractère non valide !");
    bool shifted = false;
    for (int dx = 1; dx < 20 && !shifted; ++dx)
        shifted = hebrew.copy(dx, 0, 300, 16) == rest.copy(0, 0, 300, 16);
    EXPECT_TRUE(shifted);
}

TEST(ImageSurface, LabelStartsAtTheTextPosition)
{
    ImageSurface s;
    s.SetTextPosition(100, 50);
    s.PrintText(u"HH");
    int left = s.width(), top = s.height();
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (IsBlack(s.image(), x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    EXPECT_GE(left, 100);
    EXPECT_LE(left, 102);
    EXPECT_GE(top, 50);
    EXPECT_LE(top, 54);
}

TEST(ImageSurface, AHugeTextShowsWhatItsVisibleStartShows)
{
    ImageSurface huge, start;
    huge.PrintText(std::u16string(2'000'000, u'W'));
    start.PrintText(std::u16string(100, u'W'));
    EXPECT_EQ(huge.image(), start.image());
}
