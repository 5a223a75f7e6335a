// Copy, paste, reset and quit; the buttons and keys of the commands that live elsewhere.
#include "LongLineEdit.h"
#include "WindowFixture.h"

#include "platform/Clipboard.h"

#include <QClipboard>
#include <QTimer>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QString Text(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// Bars from x = 20, or a message on the top line and nothing below it.
::testing::AssertionResult BarsOrOneLine(const QImage& image)
{
    const auto black = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    bool bars = true;
    for (int y = 1; y <= 40 && bars; ++y)
        bars = black(20, y);
    if (bars)
        return ::testing::AssertionSuccess();
    bool message = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (black(x, y)) {
                if (y >= 16)
                    return ::testing::AssertionFailure() << "ink at (" << x << ", " << y << ") under a message";
                message = true;
            }
    return message ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "neither bars nor a message";
}

QImage SavedPicture()
{
    QImage picture(60, 40, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 30));
    return picture;
}

} // namespace

using MainWindowCommands = WindowTest;

TEST_F(MainWindowCommands, CopyPutsTheSurfaceImageOnTheClipboard)
{
    Click(button("Command4")); // empty text, nothing saved: a blank bitmap of the surface's size
    ASSERT_EQ(clipboard.images.size(), 1u);
    EXPECT_EQ(clipboard.images[0].size(), form->barcodeView()->size());
    EXPECT_TRUE(AllWhite(clipboard.images[0]));
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    textField().setText(QStringLiteral("COPY"));
    Click(button("Command4"));
    ASSERT_EQ(clipboard.images.size(), 2u);
    EXPECT_EQ(clipboard.images[1], surface());
    EXPECT_EQ(clipboard.images[1].pixel(2, 30), qRgb(200, 30, 30));
    EXPECT_TRUE(messages.shown.empty());
}

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
    const QString hostile[] = {
        Text(u"AB\nCD"), Text(u"12\r\n34\r"), Text(u"\t7\v8\f9"), Text({u"A\0B", 3}), Text({u"\0", 1}),
        Text(u"A\xD800" u"B"), Text(u"\xDC00" u"12"), Text(u"12\xD83D"), Text(u"\U0001F600"), Text(u"e\u0301\u0302"),
        Text(u"\u0301ABC"), Text(u"\u05E9\u05DC\u05D5\u05DD 12"), Text(u"\u0627\u0644\u0639\u0631\u0628\u064A"),
        Text(u"\u202EABC123"), Text(u"123\u202E"), Text(u"\u2067x\u2069"), Text(u"1\u200D2"), Text(u"\uFEFF123"),
        Text(u"12\u2028" u"34"), Text(u"\u0085"), Text(u"\x7F"), Text(u"\uFFFF\uFFFE"), Text(u"A\u034F\u20DD"),
    };
    for (int symbology = 0; symbology < 4; ++symbology) {
        Click(symbologyButton(symbology));
        for (const QString& text : hostile) {
            SCOPED_TRACE(testing::Message() << "symbology " << symbology << ", text " << text.toStdString());
            clipboard.plainText = text;
            Click(button("Command6"));
            EXPECT_EQ(textField().text(), text);
            EXPECT_TRUE(BarsOrOneLine(surface()));
        }
    }
}

TEST_F(MainWindowCommands, AHugePasteIsKeptWholeAndTypingGoesOnAtItsEnd)
{
    const struct {
        const char* name;
        QString piece;
        qsizetype size;
    } rows[] = {{"a megabyte", QStringLiteral("0123456789ABCDEF"), 1 << 20},
                {"hostile", Text(u"A\u202E\u0301\0\xD800\u05E9\n\t\U0001F600 "), 300'000}};
    for (const auto& row : rows)
        for (int symbology = 0; symbology < 4; ++symbology) {
            SCOPED_TRACE(testing::Message() << row.name << ", symbology " << symbology);
            QString huge;
            while (huge.size() < row.size)
                huge += row.piece;
            Click(symbologyButton(symbology));
            clipboard.plainText = huge;
            drawings.clear();
            Click(button("Command6"));
            EXPECT_EQ(textField().text(), huge);
            EXPECT_EQ(drawings.size(), 1u);
            EXPECT_TRUE(static_cast<LongLineEdit&>(textField()).isWindowed());
            EXPECT_TRUE(BarsOrOneLine(surface()));
            if (row.size == 1 << 20 && symbology == 0) { // cut at the right edge, not refused
                EXPECT_FALSE(AllWhite(surface(), QRect(surface().width() - 20, 1, 20, 40)));
            }
            textField().end(false);
            QTest::keyClicks(&textField(), QStringLiteral("Z9"));
            EXPECT_EQ(textField().text(), huge + "Z9");
            EXPECT_TRUE(BarsOrOneLine(surface()));
            textField().repaint();
        }
}

TEST_F(MainWindowCommands, ResetEmptiesTheTextAndRemovesTheBackgroundPictureOnly)
{
    Click(symbologyButton(2));
    widenSpacesBox().setChecked(false);
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    form->setWindowTitle(QStringLiteral("Ruvovez : code.bmp"));
    textField().setText(QStringLiteral("Reset me!"));
    Click(button("Command8"));
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
    EXPECT_TRUE(AllWhite(surface()));
    // Left alone: symbology, boxes, caption.
    EXPECT_EQ(symbologyIndex(), 2);
    EXPECT_TRUE(symbologyButton(2).isChecked());
    EXPECT_FALSE(widenSpacesBox().isChecked());
    EXPECT_TRUE(addLabelBox().isChecked());
    EXPECT_TRUE(addCheckBox().isChecked());
    EXPECT_EQ(form->windowTitle(), QLatin1String("Ruvovez : code.bmp"));

    // With the text already empty nothing redraws, yet the picture goes.
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    drawings.clear();
    Click(button("Command8"));
    EXPECT_TRUE(drawings.empty());
    EXPECT_TRUE(AllWhite(surface()));
    textField().setText(QStringLiteral("After"));
    EXPECT_EQ(surface().pixel(2, 30), qRgb(255, 255, 255));
}

TEST_F(MainWindowCommands, QuitEndsTheEventLoopAtOnce)
{
    Click(button("Command5"));
    EXPECT_EQ(quits, 1);
    // The real one, with a text being typed: the event loop ends with 0 and nothing else runs.
    MainWindow real(Doubles(messages, clipboard));
    real.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&real));
    int realDrawings = 0;
    real.setDrawObserver([&](Symbology, const QImage&) { ++realDrawings; });
    QTest::keyClicks(real.textField(), QStringLiteral("TYPING"));
    QTimer::singleShot(0, real.findChild<QPushButton*>(QStringLiteral("Command5")), &QPushButton::click);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // never reached when quit works
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(realDrawings, 6);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowCommands, CommandsRunFromTheirButtonsEnterAndTheirKeys)
{
    for (const char* name : {"Command2", "Command3", "Command7"})
        Click(button(name));
    using Run = std::pair<std::string, MainWindow*>;
    EXPECT_EQ(commandsRun, (std::vector<Run>{{"print", form.get()}, {"save", form.get()}, {"about", form.get()}}));

    // Enter (or the keypad's) on a focused button clicks it, as Space does.
    Activate();
    button("Command2").setFocus();
    QTest::keyClick(&button("Command2"), Qt::Key_Return);
    QTest::keyClick(&button("Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(commandsRun.size(), 5u);

    // Each command's keys, typed in the text field; Ctrl+C stays the text's copy.
    textField().setText(QStringLiteral("KEYS"));
    textField().selectAll();
    textField().setFocus();
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard.images.empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "KEYS");
    const struct {
        QKeyCombination keys;
        const char* command;
    } rows[] = {{Qt::CTRL | Qt::Key_P, "print"}, {Qt::CTRL | Qt::Key_S, "save"}, {QKeyCombination(Qt::Key_F1), "about"}};
    for (const auto& row : rows) {
        QTest::keyClick(&textField(), row.keys.key(), row.keys.keyboardModifiers());
        ASSERT_TRUE(QTest::qWaitFor([&] { return commandsRun.size() == 6u; }));
        EXPECT_EQ(commandsRun.back().first, row.command);
        commandsRun.pop_back();
    }
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboard.images.size() == 1u; }));
    QTest::keyClick(&textField(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits == 1; }));
}

// The program's own about command: the dialog opens modally and Escape closes it.
TEST(MainWindowAbout, TheAboutButtonOpensTheAboutDialogModally)
{
    MainWindow window; // the desktop's services
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QString caption;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle();
        modal = dialog->isModal();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command7")), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("A propos Zebrix"));
    EXPECT_TRUE(modal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtClipboard, PutsABitmapAndGetsPlainTextUnchanged)
{
    QtClipboardService service;
    QImage picture(37, 67, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(20, 10, qRgb(0, 0, 0));
    service.setImage(picture);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);
    QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb\tc "));
    EXPECT_EQ(service.text(), QStringLiteral("a\r\nb\tc "));
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(service.text(), QString());
}
