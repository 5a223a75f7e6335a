// Whatever is pasted (controls, NUL, halves of surrogate pairs, marks,
// right-to-left text and direction overrides, a huge mixture of them), the
// field keeps it as it is and the surface shows either bars or one line of
// message, for every symbology.
#include "LongLineEdit.h"
#include "WindowFixture.h"

#include <QPushButton>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QString Text(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

std::vector<QString> HostileTexts()
{
    return {
        Text(u"AB\nCD"),          Text(u"12\r\n34\r"),           Text(u"\t7\v8\f9"),
        Text({u"A\0B", 3}),       Text({u"\0", 1}),              Text(u"A\xD800" u"B"),
        Text(u"\xDC00" u"12"),    Text(u"12\xD83D"),             Text(u"\U0001F600"),
        Text(u"e\u0301\u0302"),   Text(u"\u0301ABC"),            Text(u"\u05E9\u05DC\u05D5\u05DD 12"),
        Text(u"\u0627\u0644\u0639\u0631\u0628\u064A"),         Text(u"\u202EABC123"),
        Text(u"123\u202E"),       Text(u"\u2067x\u2069"),        Text(u"1\u200D2"),
        Text(u"\uFEFF123"),       Text(u"12\u2028" u"34"),      Text(u"\u0085"),
        Text(u"\x7F"),            Text(u"\uFFFF\uFFFE"),         Text(u"A\u034F\u20DD"),
    };
}

// Bars from x = 20, or a message on the top line and nothing below it.
::testing::AssertionResult BarsOrOneLine(const QImage& image)
{
    const auto black = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    bool bars = true;
    for (int y = 1; y <= 40 && bars; ++y)
        bars = black(20, y);
    if (bars)
        return ::testing::AssertionSuccess() << "bars";
    bool message = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (black(x, y)) {
                if (y >= 16)
                    return ::testing::AssertionFailure() << "a black pixel at (" << x << ", " << y << ") under a message";
                message = true;
            }
    if (!message)
        return ::testing::AssertionFailure() << "neither bars nor a message";
    return ::testing::AssertionSuccess() << "message";
}

} // namespace

using MainWindowHostileText = WindowTest;

TEST_F(MainWindowHostileText, PastedTextStaysAsItIsAndTheSurfaceShowsBarsOrOneLine)
{
    auto* paste = form->findChild<QPushButton*>(QStringLiteral("Command6"));
    ASSERT_NE(paste, nullptr);
    for (int symbology = 0; symbology < 4; ++symbology) {
        Click(symbologyButton(symbology));
        for (const QString& text : HostileTexts()) {
            SCOPED_TRACE(testing::Message() << "symbology " << symbology << ", text " << text.toStdString());
            clipboard.plainText = text;
            drawings.clear();
            Click(*paste);
            EXPECT_EQ(textField().text(), text);
            EXPECT_EQ(drawings.size(), 1u);
            EXPECT_TRUE(BarsOrOneLine(surface()));
        }
    }
}

TEST_F(MainWindowHostileText, AHugeHostilePasteThenTypingStaysOneLine)
{
    QString huge;
    const QString piece = Text(u"A\u202E\u0301\0\xD800\u05E9\n\t\U0001F600 ");
    while (huge.size() < 300'000)
        huge += piece;
    auto* paste = form->findChild<QPushButton*>(QStringLiteral("Command6"));
    for (int symbology = 0; symbology < 4; ++symbology) {
        SCOPED_TRACE(symbology);
        Click(symbologyButton(symbology));
        clipboard.plainText = huge;
        Click(*paste);
        EXPECT_EQ(textField().text(), huge);
        EXPECT_TRUE(static_cast<LongLineEdit&>(textField()).isWindowed());
        EXPECT_TRUE(BarsOrOneLine(surface()));

        textField().end(false);
        QTest::keyClicks(&textField(), QStringLiteral("Z9"));
        EXPECT_EQ(textField().text(), huge + "Z9");
        EXPECT_TRUE(BarsOrOneLine(surface()));
        textField().repaint(); // the field draws its window of such a text too
    }
}
