// Paste; the buttons and keys of the commands.
#include "LongLineEdit.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QTimer>

using namespace zebrix;
using namespace zebrix::test;

namespace {

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

    // Controls, NUL, halves of surrogate pairs, marks, right-to-left text and direction overrides, 300,000
    // characters of them, stay as they are, typing goes on at their end, and the surface shows bars or one
    // line of message, for every symbology.
    QString huge;
    for (const char16_t* piece : {u"AB\nCD\t7\v8\f9\r\n", u"A\xD800" u"B", u"12\xD83D", u"\U0001F600\u0301ABC", u"\u202EABC123",
                                  u"\u05E9\u05DC\u05D5\u05DD 12\u2067x\u2069", u"1\u200D2\uFEFF\u2028\u0085\uFFFF\uFFFE\u034F\u20DD"})
        huge += QString::fromUtf16(piece);
    huge = (huge + QChar(0)).repeated(300'000 / huge.size());
    for (int symbology = 0; symbology < 4; ++symbology) {
        SCOPED_TRACE(symbology);
        Click(symbologyButton(symbology));
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
