// Save, print, copy and reset through the window: the real commands through
// Qt's dialogs, the real converter and clipboard.
#include "WindowFixture.h"

#include <QClipboard>
#include <QTemporaryDir>

using namespace zebrix;
using namespace zebrix::test;

using MainWindowSave = WindowTest;

// The file saved names the window and lies under later drawings, copies included, until the reset.
TEST_F(MainWindowSave, ASaveNamesTheWindowAndLeavesTheSavedPictureUnderLaterDrawings)
{
    QTemporaryDir folder;
    const auto click = [&](const char* name) { button(name).click(); };
    symbologyButton(2).click();
    widenSpacesBox().setChecked(false); // exact widths, so that it scans
    QTest::keyClicks(&textField(), QStringLiteral("Zebrix"));
    dialogs.files.push_back({folder.filePath("code.png"), 3});
    click("Command3");
    ASSERT_EQ(dialogs.shown, QStringList());
    EXPECT_EQ(form->windowTitle(), "Ruvovez : code.jpg");
    const QImage saved = form->barcodeView()->backgroundPicture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(ReadZbar(saved), "Zebrix");

    textField().setText(QStringLiteral("Z")); // shorter: its bars end where the saved ones go on
    dialogs.seen = [&](QWidget* w) {
        const auto* d = static_cast<QFileDialog*>(w);
        dialogs.shown << d->selectedFiles()[0] + "|" + d->selectedNameFilter();
    };
    click("Command3"); // the next dialog proposes the file and type chosen last; cancelled
    EXPECT_EQ(
        dialogs.shown, QStringList({folder.filePath("code.jpg") + "|Format JPG-Ratio 80%  (*.JPG)", "QFileDialog"}));
    click("Command4");
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, form->barcodeView()->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(copied, saved); // the new drawing over the saved picture
    EXPECT_EQ(copied.copy(80, 10, 30, 30), saved.copy(80, 10, 30, 30));
    EXPECT_FALSE(AllWhite(saved, QRect(80, 10, 30, 30)));

    click("Command8"); // the reset empties the text and removes the picture, and leaves the rest
    EXPECT_TRUE(textField().text().isEmpty());
    EXPECT_FALSE(form->barcodeView()->hasBackgroundPicture());
    EXPECT_TRUE(AllWhite(surface()));
    EXPECT_TRUE(symbologyIndex() == 2 && symbologyButton(2).isChecked());
    EXPECT_EQ(std::tuple(widenSpacesBox().isChecked(), addLabelBox().isChecked(), addCheckBox().isChecked()),
        std::tuple(false, true, true));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ruvovez : code.jpg"));
    form->barcodeView()->setBackgroundPicture(saved); // with the text already empty nothing redraws, yet it goes
    drawings.clear();
    click("Command8");
    EXPECT_EQ(drawings.size(), 0u);
    EXPECT_TRUE(AllWhite(surface()));
}

// Printing leaves the pointer as it was on cancel; a failure (nothing saved, a printer that fails) is
// told once under the busy pointer, then the pointer is normal again; the saved picture is printed.
TEST_F(MainWindowSave, PrintFailuresAreToldOnceUnderTheBusyPointer)
{
    QTemporaryDir folder;
    std::vector<Qt::CursorShape> underBox;
    dialogs.seen = [&](QWidget* w) {
        if (qobject_cast<QMessageBox*>(w))
            underBox.push_back(form->cursor().shape());
    };
    form->setCursor(Qt::CrossCursor);
    button("Command2").click(); // cancelled
    EXPECT_EQ(form->cursor().shape(), Qt::CrossCursor);
    const QString error = "Erreur|" + QString::number(QMessageBox::Critical) + "|Erreur sur l'imprimante";
    for (const QString pdf : {"nothing saved.pdf", "missing/page.pdf", "page.pdf"}) {
        if (pdf == "missing/page.pdf")
            dialogs.files.push_back({folder.filePath("code.bmp"), 1}), button("Command3").click();
        dialogs.pdfs.push_back(folder.filePath(pdf));
        button("Command2").click();
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QFile::exists(folder.filePath(pdf)), pdf == "page.pdf") << pdf.toStdString();
    }
    EXPECT_EQ(dialogs.shown, QStringList({"QPrintDialog", error, error}));
    EXPECT_EQ(underBox, std::vector({Qt::BusyCursor, Qt::BusyCursor}));
}
