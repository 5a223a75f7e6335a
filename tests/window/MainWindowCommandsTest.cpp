// Copy, paste, reset and quit; the buttons whose commands live elsewhere.
#include "WindowFixture.h"

#include "platform/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTimer>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QPushButton& Button(MainWindow& form, const char* name)
{
    auto* b = form.findChild<QPushButton*>(QLatin1String(name));
    if (!b)
        throw std::runtime_error(name);
    return *b;
}

// A picture like the one a save leaves under the drawing.
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
    // Empty text, nothing saved: a blank bitmap of the surface's size.
    Click(Button(*form, "Command4"));
    ASSERT_EQ(clipboard.images.size(), 1u);
    EXPECT_EQ(clipboard.images[0].size(), form->barcodeView()->size());
    EXPECT_TRUE(AllWhite(clipboard.images[0]));

    // The drawing, over the background picture when there is one.
    textField().setText(QStringLiteral("COPY"));
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    textField().setText(QStringLiteral("COPY 2"));
    Click(Button(*form, "Command4"));
    ASSERT_EQ(clipboard.images.size(), 2u);
    const QImage& copied = clipboard.images[1];
    EXPECT_EQ(copied, surface());
    EXPECT_EQ(copied.pixel(2, 30), qRgb(200, 30, 30));
    EXPECT_EQ(copied.pixel(20, 30), qRgb(0, 0, 0));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowCommands, PasteTakesTheClipboardTextUnchanged)
{
    clipboard.plainText = QStringLiteral("PASTED 42");
    drawings.clear();
    Click(Button(*form, "Command6"));
    EXPECT_EQ(textField().text(), QLatin1String("PASTED 42"));
    EXPECT_EQ(drawings.size(), 1u); // through the text's change
    EXPECT_EQ(ReadZbar(surface()), "PASTED 42");

    // Line breaks and blanks stay; the encoder meets the break like any other
    // character and reports it: a message, no bars.
    clipboard.plainText = QStringLiteral("  12\r\n34\n");
    Click(Button(*form, "Command6"));
    EXPECT_EQ(textField().text(), QStringLiteral("  12\r\n34\n"));
    EXPECT_FALSE(AllWhite(surface(), QRect(0, 0, 200, 12)));
    EXPECT_TRUE(AllWhite(surface(), QRect(0, 20, surface().width(), 30)));

    // An empty clipboard (a picture on it) empties the text and the surface.
    clipboard.plainText.clear();
    Click(Button(*form, "Command6"));
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_TRUE(AllWhite(surface()));

    // Each paste is one step of undo, the one that emptied the field too.
    textField().setFocus();
    for (const char* before : {"  12\r\n34\n", "PASTED 42"}) {
        QTest::keySequence(&textField(), QKeySequence::Undo);
        EXPECT_EQ(textField().text(), QString::fromLatin1(before));
    }
    EXPECT_EQ(ReadZbar(surface()), "PASTED 42");
}

TEST_F(MainWindowCommands, AMegabytePasteIsKeptWholeAndDrawn)
{
    QString megabyte;
    megabyte.reserve(1 << 20);
    while (megabyte.size() < (1 << 20))
        megabyte += QStringLiteral("0123456789ABCDEF");
    clipboard.plainText = megabyte;
    drawings.clear();
    Click(Button(*form, "Command6"));
    EXPECT_EQ(textField().text().size(), 1 << 20);
    EXPECT_EQ(textField().text(), megabyte);
    ASSERT_EQ(drawings.size(), 1u);
    // Bars from x = 20 to the right edge, no message.
    EXPECT_EQ(surface().pixel(20, 25), qRgb(0, 0, 0));
    EXPECT_FALSE(AllWhite(surface(), QRect(surface().width() - 20, 1, 20, 40)));
    EXPECT_TRUE(AllWhite(surface(), QRect(0, 0, 20, 50)));

    // Typing at its end still works on the whole text.
    textField().end(false);
    QTest::keyClick(&textField(), 'Z');
    EXPECT_EQ(textField().text().size(), (1 << 20) + 1);
    EXPECT_EQ(textField().text().back(), QChar('Z'));
}

TEST_F(MainWindowCommands, ResetEmptiesTheTextAndRemovesTheBackgroundPictureOnly)
{
    Click(symbologyButton(2));
    widenSpacesBox().setChecked(false);
    textField().setText(QStringLiteral("Reset me"));
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    form->setWindowTitle(QStringLiteral("Ruvovez : code.bmp"));
    textField().setText(QStringLiteral("Reset me!"));
    ASSERT_EQ(surface().pixel(2, 30), qRgb(200, 30, 30));

    Click(Button(*form, "Command8"));
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

    // With the text already empty nothing redraws, yet the picture goes and
    // the surface is plain white.
    form->barcodeView()->setBackgroundPicture(SavedPicture());
    drawings.clear();
    Click(Button(*form, "Command8"));
    EXPECT_TRUE(drawings.empty());
    EXPECT_TRUE(AllWhite(surface()));
    textField().setText(QStringLiteral("After"));
    EXPECT_EQ(surface().pixel(2, 30), qRgb(255, 255, 255));
}

TEST_F(MainWindowCommands, QuitEndsTheEventLoopAtOnce)
{
    Click(Button(*form, "Command5"));
    EXPECT_EQ(quits, 1);

    // The real one, with a text being typed: the event loop ends with 0 and
    // nothing else runs.
    MainWindowServices services;
    services.clipboard = &clipboard;
    services.messageBox = &messages;
    MainWindow real(services);
    real.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&real));
    int realDrawings = 0;
    real.setDrawObserver([&](Symbology, const QImage&) { ++realDrawings; });
    QTest::keyClicks(real.textField(), QStringLiteral("TYPING"));
    QTimer::singleShot(0, &Button(real, "Command5"), &QPushButton::click);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // never reached when quit works
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(realDrawings, 6);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowCommands, CommandsRunFromTheirButtonsEnterAndTheirKeys)
{
    Click(Button(*form, "Command2"));
    Click(Button(*form, "Command3"));
    Click(Button(*form, "Command7"));
    ASSERT_EQ(commandsRun.size(), 3u);
    EXPECT_EQ(commandsRun[0].name, "print");
    EXPECT_EQ(commandsRun[1].name, "save");
    EXPECT_EQ(commandsRun[2].name, "about");
    for (const auto& run : commandsRun)
        EXPECT_EQ(run.window, form.get());

    // Enter (or the keypad's) on a focused button clicks it, as Space does.
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Button(*form, "Command2").setFocus();
    QTest::keyClick(&Button(*form, "Command2"), Qt::Key_Return);
    QTest::keyClick(&Button(*form, "Command2"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(commandsRun.size(), 5u);

    // Each command's keys, typed in the text field; Ctrl+C stays its copy.
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
        EXPECT_EQ(commandsRun.back().name, row.command);
        commandsRun.pop_back();
    }
    QTest::keyClick(&textField(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clipboard.images.size() == 1u; }));
    QTest::keyClick(&textField(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quits == 1; }));
}

// The program's own about command: the dialog opens modally over the window
// and Escape closes it again.
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
