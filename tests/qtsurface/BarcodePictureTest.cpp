// The window's picture: the background picture under every drawing, and messages written with Qt (bars and
// labels are checked pixel for pixel by the golden drawings, and read from the window's picture by its tests).
#include "qtsurface/BarcodePicture.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

QImage Message(std::u16string text)
{
    Drawing d;
    std::tie(d.kind, d.message) = std::tuple(Drawing::Kind::Message, std::move(text));
    BarcodePicture picture;
    picture.show(d);
    return picture.image();
}

} // namespace

TEST(BarcodePicture, BackgroundPictureStaysUnderEveryDrawingUntilRemoved)
{
    BarcodePicture s;
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(qRgb(200, 0, 0));
    s.setBackgroundPicture(picture);
    s.clear();
    EXPECT_EQ(s.image().pixel(40, 5), qRgb(255, 255, 255));
    s.show(Encode(Symbology::Code39, u"A", Options{0, 0, 0}, s.width()));
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(s.image().pixel(20, 5), qRgb(0, 0, 0));
    s.show(Encode(Symbology::Code39, u"", Options{}, s.width())); // the empty text: the ground
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(s.image().pixel(20, 25), qRgb(255, 255, 255));
    s.resize(200, 67); // a new width keeps it; 96 dots per inch, so that a saved picture prints at its screen size
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(s.image().dotsPerMeterX(), 3780);
    EXPECT_EQ(s.image().dotsPerMeterY(), 3780);
    s.clearBackgroundPicture();
    s.clear();
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(255, 255, 255));
}

// A direction override would turn the message round; a control, a line break, a blank other than the space, a
// format character, half a surrogate pair, a letter fonts leave blank or one no font has would show nothing: named
// by their code.
TEST(BarcodePicture, AMessageNamesAnInvisibleCharacterReadably)
{
    const std::pair<std::u16string, std::u16string> rows[]
        = {{u"\u202EABC", u"U+202EABC"}, {u"A\xD800", u"AU+D800"}, {u"\U000E0041 \U0001F600", u"U+E0041 \U0001F600"},
            {u"A\tB", u"AU+0009B"}, {u"\r\n", u"U+000DU+000A"}, {u"\u00A0\u2028\u200F", u"U+00A0U+2028U+200F"},
            {u"\uFE00\uFE0F\U000E0100\U000E01EF", u"U+FE00U+FE0FU+E0100U+E01EF"},
            {u"\u180B\u180F\u034F\u115F", u"U+180BU+180FU+034FU+115F"}, {u"\u1160\u17B4\u17B5", u"U+1160U+17B4U+17B5"},
            {u"\u3164\uFFA0", u"U+3164U+FFA0"}, {u"\u2030\u05D0", u"\u2030\u05D0"}, // drawn as they are
            {u"\uFF11 : Caractère non valide !", u"U+FF11 : Caractère non valide !"}, // in no font the tests install
            {u"\u1810", u"U+1810"}, {u"\u0301 : x", u"\u25CC\u0301 : x"}}; // a mark alone sits on a dotted circle
    for (const auto& [typed, shown] : rows)
        EXPECT_EQ(BarcodePicture::displayText(typed, 100), QString::fromStdU16String(shown));
    EXPECT_EQ(BarcodePicture::displayText(u"AB\u202E", 2), "AB");
    // A Hebrew letter comes first, on the left, and the rest reads as usual.
    const QImage hebrew = Message(u"\u05D0 : Caractère non valide !"), rest = Message(u" : Caractère non valide !");
    int dx = 1;
    while (dx < 20 && hebrew.copy(dx, 0, 300, 16) != rest.copy(0, 0, 300, 16))
        ++dx;
    EXPECT_LT(dx, 20);
}

TEST(BarcodePicture, AMessageIsDrawnWholeFromTheTopEdgeAndOnlyItsVisibleStart)
{
    // An accent over a capital reaches above the font's ascent: the line goes down just enough to show it.
    const auto inkAndTop = [](const QImage& image) {
        int count = 0, top = -1;
        for (int y = image.height() - 1; y >= 0; --y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128 && ++count)
                    top = y;
        return std::pair(count, top);
    };
    for (const char16_t* text : {u"É : Caractère non valide !", u"Å", u"Ï"}) {
        QImage whole(BarcodePicture::kDefaultWidth, 40, QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        painter.setFont(BarcodePicture::messageFont());
        painter.drawText(QPointF(0, 20), QString::fromUtf16(text));
        painter.end();
        EXPECT_EQ(inkAndTop(Message(text)), std::pair(inkAndTop(whole).first, 0))
            << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(Message(std::u16string(2'000'000, u'W')), Message(std::u16string(100, u'W')));
}
