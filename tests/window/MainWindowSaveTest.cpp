// The save button of the real window, with scripted dialogs and the real
// converter: caption, background picture, remembered values, reset.
#include "Commands.h"
#include "BarcodeView.h"
#include "support/Decoders.h"
#include "support/FakeClipboard.h"
#include "support/FakeInputBox.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QDir>
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

class MainWindowSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        MainWindowServices services;
        services.messageBox = &messages;
        services.clipboard = &clipboard;
        services.save = SaveCommandFor(SaveSeams{&dialog, &inputBox, &messages,
                                                 {QStringLiteral(ZEBRIX_CONVERTER_DIR)}, folder.path()});
        form = std::make_unique<MainWindow>(std::move(services));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->symbologyButton(Symbology::Code128)->click();
        form->optionBox(OptionBox::WidenSpaces)->setChecked(false); // exact widths, so that it scans
    }
    void Click(const char* name) { QTest::mouseClick(form->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton); }
    QString Path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    QTemporaryDir folder;
    test::FakeMessageBox messages;
    test::FakeClipboard clipboard;
    test::FakeSaveFileDialog dialog;
    test::FakeInputBox inputBox;
    std::unique_ptr<MainWindow> form;
};

} // namespace

TEST_F(MainWindowSave, ASaveNamesTheWindowAndLeavesTheSavedPictureUnderLaterDrawings)
{
    QTest::keyClicks(form->textField(), QStringLiteral("Zebrix"));
    dialog.answers.push_back(test::FakeSaveFileDialog::Answer{Path("code.png"), 3});
    Click("Command3");

    ASSERT_TRUE(messages.shown.empty()) << messages.shown.front().text.toStdString();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
    ASSERT_TRUE(QFile::exists(Path("code.jpg")));
    const QImage saved = form->barcodeView()->backgroundPicture();
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(test::DecodeWithZbar(saved), std::vector<std::string>{"Zebrix"});

    // The next dialog proposes the file and type chosen last.
    QTest::keyClick(form->textField(), Qt::Key_Backspace);
    Click("Command3"); // the fake answers cancel
    ASSERT_EQ(dialog.requests.size(), 2u);
    EXPECT_EQ(dialog.requests[1].selectedType, 3);
    EXPECT_EQ(dialog.requests[1].proposedName, Path("code.jpg"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ruvovez : code.jpg"));

    // Later drawings lie over the saved picture until the reset.
    EXPECT_NE(form->barcodeView()->image(), form->barcodeView()->backgroundPicture());
    Click("Command8");
    EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
    const QImage blank = form->barcodeView()->image();
    for (int x = 0; x < blank.width(); x += 7)
        ASSERT_EQ(blank.pixel(x, 20), qRgb(255, 255, 255)) << x;
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
}

TEST_F(MainWindowSave, AFailedSaveSaysSoAndChangesNothingShown)
{
    QTest::keyClicks(form->textField(), QStringLiteral("Zebrix"));
    dialog.answers.push_back(test::FakeSaveFileDialog::Answer{Path("missing/code.bmp"), 1});
    Click("Command3");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Erreur"));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("code.bmp")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zebrix"));
    EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
}
