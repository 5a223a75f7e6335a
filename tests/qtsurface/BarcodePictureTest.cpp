// The window's picture: the background picture under every drawing, messages
// written with Qt (bars and labels are checked pixel for pixel by the golden
// drawings), and bars that ZXing-C++ and zbar read back.
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace zebrix;
using test::DecodeWithZbar;
using test::DecodeWithZXing;

namespace {

QImage Shown(const Drawing& drawing)
{
    BarcodePicture picture;
    picture.show(drawing);
    return picture.image();
}

QImage Message(std::u16string text)
{
    Drawing d;
    std::tie(d.kind, d.message) = std::tuple(Drawing::Kind::Message, std::move(text));
    return Shown(d);
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
    EXPECT_EQ(std::pair(s.image().dotsPerMeterX(), s.image().dotsPerMeterY()), std::pair(3780, 3780));
    s.clearBackgroundPicture();
    s.clear();
    EXPECT_EQ(s.image().pixel(5, 5), qRgb(255, 255, 255));
}

TEST(BarcodePicture, AMessageNamesAnInvisibleOrRightToLeftCharacterReadably)
{
    const auto message = [](std::u16string_view text) { return Shown(Encode(Symbology::Code39, text, Options{})); };
    const auto named = [](char32_t c) {
        return Message(u"U+" + QString::number(c, 16).toUpper().rightJustified(4, u'0').toStdU16String()
            + u" : Caractère non valide !");
    };
    // A direction override would turn the message round; a control, a line break, a blank other than the
    // space, a format character, half a surrogate pair or a letter fonts leave blank would show nothing.
    const std::pair<std::u16string, char32_t> rows[]
        = {{u"\u202EABC", 0x202E}, {u"AB\u200F", 0x200F}, {u"A\xD800", 0xD800}, {u"\U000E0041", 0xE0041},
            {u"A\tB", 0x9}, {u"\r\n", 0xD}, {u"\n", 0xA}, {u"\u00A0", 0xA0}, {u"\u2028", 0x2028}};
    for (const auto& [typed, code] : rows)
        EXPECT_EQ(message(typed), named(code)) << std::hex << static_cast<unsigned>(code);
    for (char32_t c : {0xFE00, 0xFE0F, 0xE0100, 0xE01EF, 0x180B, 0x180F, 0x034F, 0x115F, 0x1160, 0x17B4, 0x17B5, 0x3164,
             0xFFA0}) // variation selectors, fillers
        EXPECT_EQ(message(QString::fromUcs4(&c, 1).toStdU16String()), named(c)) << std::hex << static_cast<unsigned>(c);
    // Not a visible neighbour (U+1810, a Mongolian digit); a mark alone sits on a dotted circle.
    EXPECT_EQ(message(u"\u1810"), Message(u"\u1810 : Caractère non valide !"));
    EXPECT_NE(message(u"\u1810"), Message(u"U+1810 : Caractère non valide !")); // the line above holds either way
    EXPECT_EQ(message(u"E\u0301"), Message(u"\u25CC\u0301 : Caractère non valide !"));
    // A Hebrew letter comes first, on the left, and the rest reads as usual.
    const QImage hebrew = message(u"\u05D0"), rest = Message(u" : Caractère non valide !");
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

TEST(Scan, EverySymbologyUnderEveryOptionWithBothReaders)
{
    using enum Symbology; // each symbology under the options, at one pixel per narrow bar
    const auto utf8 = [](const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); };
    // The text read ("": the digits drawn, Interleaved 2 of 5 adds a leading zero), what the check character box
    // adds to it (null where not offered), and which readers read it.
    const struct {
        Symbology symbology;
        std::u16string text;
        std::string read;
        const char* check;
        bool zxing, zbar;
    } rows[] = {{Code39, u"code39", "CODE39", "W", true, true},
        {Interleaved2of5, u"1", "", "", false, true}, // ZXing reads from six digits on
        {Interleaved2of5, u"123456", "", "", true, true},
        {Code128, u"Hello, World!", "Hello, World!", nullptr, true, true},
        {Codabar, u"123-45", "123-45", nullptr, true, true}};
    for (const auto& row : rows)
        for (const Options options : {Options{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 1}, {1, 1, 1}}) {
            if (options.addCheck && !row.check)
                continue;
            SCOPED_TRACE(testing::Message()
                << utf8(row.text) << " options " << options.widenSpaces << options.addLabel << options.addCheck);
            const Drawing drawing = Encode(row.symbology, row.text, options);
            BarcodePicture picture(static_cast<int>(drawing.end) + 20); // the bars and a quiet zone
            picture.show(drawing);
            const std::string read
                = row.read.empty() ? utf8(drawing.label) : row.read + (options.addCheck ? row.check : "");
            const bool unreadable = options.widenSpaces && row.symbology == Code128; // one more column in every space
            if (row.zxing) {
                EXPECT_EQ(
                    DecodeWithZXing(picture.image()), unreadable ? std::vector<std::string>{} : std::vector{read});
            }
            if (row.zbar) {
                EXPECT_EQ(DecodeWithZbar(picture.image()), unreadable ? std::vector<std::string>{} : std::vector{read});
            }
        }
}
