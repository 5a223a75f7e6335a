// Save, copy and reset through the window: the real save command with scripted
// dialogs and the real converter.
#include "Commands.h"
#include "WindowFixture.h"

#include "support/FakeInputBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QTemporaryDir>

using namespace zebrix;
using namespace zebrix::test;

// The file saved names the window and lies under later drawings, copies included, until the reset.
TEST(MainWindowSave, ASaveNamesTheWindowAndLeavesTheSavedPictureUnderLaterDrawings)
{
    QTemporaryDir folder;
    FakeMessageBox messages;
    FakeClipboard clipboard;
    FakeSaveFileDialog dialog;
    FakeInputBox inputBox;
    MainWindowServices services = Doubles(messages, clipboard);
    services.save = SaveCommandFor(SaveSeams{&dialog, &inputBox, &messages, {ZEBRIX_CONVERTER_DIR}, folder.path()});
    MainWindow form(std::move(services));
    form.show();
    const auto click = [&](const char* name) { form.findChild<QPushButton*>(QLatin1String(name))->click(); };
    form.symbologyButton(Symbology::Code128)->click();
    form.optionBox(OptionBox::WidenSpaces)->setChecked(false); // exact widths, so that it scans
    QTest::keyClicks(form.textField(), QStringLiteral("Zebrix"));
    dialog.answers.push_back(FakeSaveFileDialog::Answer{folder.filePath("code.png"), 3});
    click("Command3");
    ASSERT_TRUE(messages.shown.empty()) << messages.shown.front().text.toStdString();
    EXPECT_TRUE(form.windowTitle() == "Ruvovez : code.jpg" && QFile::exists(folder.filePath("code.jpg")));
    const QImage saved = form.barcodeView()->backgroundPicture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ReadZbar(saved), "Zebrix");

    form.textField()->setText(QStringLiteral("Z")); // shorter: its bars end where the saved ones go on
    click("Command3"); // the next dialog proposes the file and type chosen last; cancelled
    ASSERT_EQ(dialog.requests.size(), 2u);
    EXPECT_EQ(std::pair(dialog.requests[1].proposedName, dialog.requests[1].selectedType),
        std::pair(folder.filePath("code.jpg"), 3));
    click("Command4");
    ASSERT_EQ(clipboard.images.size(), 1u);
    EXPECT_EQ(clipboard.images[0], form.barcodeView()->image());
    EXPECT_NE(clipboard.images[0], saved); // the new drawing over the saved picture
    EXPECT_EQ(clipboard.images[0].copy(80, 10, 30, 30), saved.copy(80, 10, 30, 30));
    EXPECT_FALSE(AllWhite(saved, QRect(80, 10, 30, 30)));

    click("Command8"); // the reset empties the text and removes the picture, and leaves the rest
    EXPECT_TRUE(form.textField()->text().isEmpty());
    EXPECT_FALSE(form.barcodeView()->hasBackgroundPicture());
    EXPECT_TRUE(AllWhite(form.barcodeView()->image()));
    EXPECT_TRUE(form.symbology() == Symbology::Code128 && form.symbologyButton(Symbology::Code128)->isChecked());
    const auto ticked = [&](OptionBox box) { return form.optionBox(box)->isChecked(); };
    EXPECT_EQ(std::tuple(ticked(OptionBox::WidenSpaces), ticked(OptionBox::AddLabel), ticked(OptionBox::AddCheck)),
        std::tuple(false, true, true));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
    form.barcodeView()->setBackgroundPicture(saved); // with the text already empty nothing redraws, yet it goes
    int drawings = 0;
    form.setDrawObserver([&](Symbology, const QImage&) { ++drawings; });
    click("Command8");
    EXPECT_EQ(drawings, 0);
    EXPECT_TRUE(AllWhite(form.barcodeView()->image()));
}
