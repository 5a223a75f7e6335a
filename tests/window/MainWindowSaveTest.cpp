// The save button of the real window, with scripted dialogs and the real converter.
#include "Commands.h"
#include "WindowFixture.h"

#include "support/FakeInputBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QTemporaryDir>

using namespace zebrix;
using namespace zebrix::test;

// The file saved names the window and lies under later drawings until the reset.
TEST(MainWindowSave, ASaveNamesTheWindowAndLeavesTheSavedPictureUnderLaterDrawings)
{
    QTemporaryDir folder;
    FakeMessageBox messages;
    FakeClipboard clipboard;
    FakeSaveFileDialog dialog;
    FakeInputBox inputBox;
    MainWindowServices services = Doubles(messages, clipboard);
    services.save = SaveCommandFor(
        SaveSeams{&dialog, &inputBox, &messages, {QStringLiteral(ZEBRIX_CONVERTER_DIR)}, folder.path()});
    MainWindow form(std::move(services));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.symbologyButton(Symbology::Code128)->click();
    form.optionBox(OptionBox::WidenSpaces)->setChecked(false); // exact widths, so that it scans
    QTest::keyClicks(form.textField(), QStringLiteral("Zebrix"));
    dialog.answers.push_back(FakeSaveFileDialog::Answer{folder.filePath("code.png"), 3});
    const auto save = form.findChild<QPushButton*>(QStringLiteral("Command3"));
    QTest::mouseClick(save, Qt::LeftButton);

    ASSERT_TRUE(messages.shown.empty()) << messages.shown.front().text.toStdString();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
    ASSERT_TRUE(QFile::exists(folder.filePath("code.jpg")));
    EXPECT_EQ(ReadZbar(form.barcodeView()->backgroundPicture()), "Zebrix");

    QTest::keyClick(form.textField(), Qt::Key_Backspace);
    QTest::mouseClick(save, Qt::LeftButton); // the next dialog proposes the file and type chosen last; cancelled
    ASSERT_EQ(dialog.requests.size(), 2u);
    EXPECT_EQ(dialog.requests[1].selectedType, 3);
    EXPECT_EQ(dialog.requests[1].proposedName, folder.filePath("code.jpg"));
    EXPECT_NE(form.barcodeView()->image(), form.barcodeView()->backgroundPicture());

    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command8")), Qt::LeftButton);
    EXPECT_FALSE(form.barcodeView()->hasBackgroundPicture());
    EXPECT_TRUE(AllWhite(form.barcodeView()->image()));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
}
