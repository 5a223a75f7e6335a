// Paste; the buttons and keys of the commands.
#include "LongLineEdit.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QTimer>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QString Text(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// Bars from x = 20, or ink on the top line only: one line of message.
bool BarsOrOneLine(const QImage& image)
{
    if (image.pixel(20, 1) == qRgb(0, 0, 0) && image.pixel(20, 40) == qRgb(0, 0, 0))
        return true;
    return !AllWhite(image, QRect(0, 0, image.width(), 16)) && AllWhite(image, QRect(0, 16, image.width(), 60));
}

} // namespace

using MainWindowCommands = WindowTest;

TEST_F(MainWindowCommands, PasteTakesTheClipboardTextUnchanged)
{
    // Each paste draws once and is one step of undo, the one that empties the field too.
    for (const char* text : {"PASTED 42", "  12\r\n34\n", ""}) {
        clipboard.plainText = QString::fromLatin1(text);
        drawings.clear();
        Click(button("Command6"));
        EXPECT_EQ(textField().text(), clipboard.plainText);
        EXPECT_EQ(drawings.size(), 1u);
    }
    EXPECT_TRUE(AllWhite(surface()));
    textField().setFocus();
    for (const char* before : {"  12\r\n34\n", "PASTED 42"}) {
        QTest::keySequence(&textField(), QKeySequence::Undo);
        EXPECT_EQ(textField().text(), QString::fromLatin1(before));
    }
    EXPECT_EQ(ReadZbar(surface()), "PASTED 42");

    // Controls, NUL, halves of surrogate pairs, marks, right-to-left text and direction overrides stay as
    // they are in the field; the surface shows bars or one line of message, for every symbology.
    const QString hostile[] = {Text(u"AB\nCD"), Text(u"\t7\v8\f9"), Text({u"A\0B", 3}), Text(u"A\xD800" u"B"),
                               Text(u"12\xD83D"), Text(u"\U0001F600"), Text(u"\u0301ABC"), Text(u"\u05E9\u05DC\u05D5\u05DD 12"),
                               Text(u"\u202EABC123"), Text(u"\u2067x\u2069"), Text(u"1\u200D2"), Text(u"\uFEFF123"),
                               Text(u"12\u2028" u"34"), Text(u"\u0085"), Text(u"\uFFFF\uFFFE"), Text(u"A\u034F\u20DD")};
    for (int symbology = 0; symbology < 4; ++symbology) {
        Click(symbologyButton(symbology));
        for (const QString& text : hostile) {
            SCOPED_TRACE(testing::Message() << "symbology " << symbology << ", text " << text.toStdString());
            clipboard.plainText = text;
            Click(button("Command6"));
            EXPECT_EQ(textField().text(), text);
            EXPECT_TRUE(BarsOrOneLine(surface()));
        }
        QString huge; // and all of them at once, 300,000 characters, with typing on at its end
        while (huge.size() < 300'000)
            for (const QString& text : hostile)
                huge += text;
        clipboard.plainText = huge;
        Click(button("Command6"));
        textField().end(false);
        QTest::keyClicks(&textField(), QStringLiteral("Z9"));
        EXPECT_EQ(textField().text(), huge + "Z9");
        EXPECT_TRUE(static_cast<LongLineEdit&>(textField()).isWindowed());
        EXPECT_TRUE(BarsOrOneLine(surface()));
        textField().repaint();
    }
}

TEST_F(MainWindowCommands, CommandsRunFromTheirButtonsEnterAndTheirKeys)
{
    for (const char* name : {"Command2", "Command3", "Command7", "Command5"})
        Click(button(name));
    EXPECT_EQ(commandsRun, (decltype(commandsRun){{"print", form.get()}, {"save", form.get()}, {"about", form.get()},
                                                  {"quit", nullptr}}));
    button("Command2").setFocus();
    QTest::keyClick(&button("Command2"), Qt::Key_Return);
    QTest::keyClick(&button("Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(commandsRun.size(), 6u);
    // Each command's keys, typed in the text field; Ctrl+C stays the text's copy.
    textField().setText(QStringLiteral("KEYS"));
    textField().selectAll();
    textField().setFocus();
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "KEYS");
    const std::pair<QKeyCombination, const char*> keys[] = {
        {Qt::CTRL | Qt::Key_P, "print"}, {Qt::CTRL | Qt::Key_S, "save"}, {Qt::Key_F1, "about"}, {Qt::CTRL | Qt::Key_Q, "quit"}};
    for (const auto& [combination, command] : keys) {
        QTest::keyClick(&textField(), combination.key(), combination.keyboardModifiers());
        ASSERT_TRUE(QTest::qWaitFor([&] { return commandsRun.size() == 7u; }));
        EXPECT_EQ(commandsRun.back().first, command);
        commandsRun.pop_back();
    }
    EXPECT_TRUE(clipboard.images.empty());
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboard.images.size() == 1u; }));
}
