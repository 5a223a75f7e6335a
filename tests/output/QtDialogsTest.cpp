// The real Qt dialogs behind the save command's seams, driven on the
// offscreen platform as a user would drive them.
#include "OutputTestSupport.h"
#include "output/SaveCommand.h"
#include "platform/InputBox.h"
#include "platform/SaveFileDialog.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"
#include "support/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace zebrix;
using namespace zebrix::test;

namespace {

// The names the dialog's list shows.
QStringList Listed(QFileDialog* dialog)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model())
        return names;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
        names << model->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

SaveDialogRequest Request(int selectedType, const QString& proposed)
{
    SaveDialogRequest r;
    r.title = QStringLiteral("Enregistrer Sous");
    for (const auto& t : SaveCommand::fileTypes())
        r.fileTypes.push_back(t.shown);
    r.selectedType = selectedType;
    r.proposedName = proposed;
    return r;
}

} // namespace

class QtSaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.jpg", "e.JPG", "f.png", "g.txt"}) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    }
    QTemporaryDir dir;
};

TEST_F(QtSaveDialogTest, ShowsTheFileTypesAsTheyStandAndListsFilesWhateverTheirCase)
{
    QStringList shownTypes;
    int shownIndex = -1;
    QString title, shownName, shownFolder, renamed;
    QStringList jpegList, bmpList, pngList;
    OnModal<QFileDialog>([&](QFileDialog* d) {
        title = d->windowTitle();
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(types && name);
        for (int i = 0; i < types->count(); ++i)
            shownTypes << types->itemText(i);
        shownIndex = types->currentIndex();
        shownName = name->text();
        shownFolder = d->directory().absolutePath();
        const auto showsFor = [&](int index, int count) {
            types->setCurrentIndex(index);
            emit types->activated(index);
            WaitFor([&] { return Listed(d).size() == count; });
            return Listed(d);
        };
        jpegList = showsFor(1, 3);
        bmpList = showsFor(0, 4);
        pngList = showsFor(5, 2);
        // The user picks the BMP type: the name typed takes its extension,
        // in lower case; then the user types another name.
        name->setText(QStringLiteral("code.jpg"));
        types->setCurrentIndex(0);
        emit types->activated(0);
        renamed = name->text();
        name->setText(QStringLiteral("code.png"));
        static_cast<QDialog*>(d)->accept(); // what the Save button does
    });
    QtSaveFileDialog dialog;
    const auto answer = dialog.getSaveFileName(nullptr, Request(2, dir.filePath("code.jpg")));

    EXPECT_EQ(title, "Enregistrer Sous");
    QStringList expected;
    for (const auto& t : SaveCommand::fileTypes())
        expected << t.shown.description;
    EXPECT_EQ(shownTypes, expected); // two blanks before "(" where there are two
    EXPECT_EQ(shownIndex, 1);
    EXPECT_EQ(shownName, "code.jpg");
    EXPECT_EQ(shownFolder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(jpegList, (QStringList{"d.jpg", "e.JPG", "sub"}));
    EXPECT_EQ(bmpList, (QStringList{"a.bmp", "b.BMP", "c.Bmp", "sub"}));
    EXPECT_EQ(pngList, (QStringList{"f.png", "sub"}));
    EXPECT_EQ(renamed, "code.bmp");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, QDir(dir.path()).absoluteFilePath("code.png"));
    EXPECT_EQ(answer->fileType, 1);
}

TEST_F(QtSaveDialogTest, OpensOnTheTypeChosenLastAndEnterKeepsIt)
{
    // Every type, one blank or two before "(": chosen in one dialog, it is
    // the type the next dialog opens on, and Enter there saves as it.
    QtSaveFileDialog dialog;
    for (int type = 1; type <= static_cast<int>(SaveCommand::fileTypes().size()); ++type) {
        SCOPED_TRACE(type);
        OnModal<QFileDialog>([&](QFileDialog* d) {
            auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            types->setCurrentIndex(type - 1);
            emit types->activated(type - 1);
            static_cast<QDialog*>(d)->accept();
        });
        const auto chosen = dialog.getSaveFileName(nullptr, Request(1, dir.filePath("code.bmp")));
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->fileType, type);

        int shown = -1;
        OnModal<QFileDialog>([&](QFileDialog* d) {
            shown = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentIndex();
            QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
        const auto again = dialog.getSaveFileName(nullptr, Request(chosen->fileType, chosen->path));
        EXPECT_EQ(shown, type - 1);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->fileType, type);
        EXPECT_EQ(again->path, chosen->path);
    }
}

TEST_F(QtSaveDialogTest, CancelAndDeclinedReplaceGiveNothing)
{
    QtSaveFileDialog dialog;
    OnModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(dialog.getSaveFileName(nullptr, Request(1, QString())).has_value());

    // An existing name is confirmed; "No" keeps the dialog open.
    bool asked = false;
    bool stillOpen = false;
    OnModal<QFileDialog>([&](QFileDialog* d) {
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            asked = box->text().contains("a.bmp");
            box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [&, d] {
                stillOpen = d->isVisible();
                d->reject();
            });
        });
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("a.bmp"));
        static_cast<QDialog*>(d)->accept(); // what the Save button does
    });
    EXPECT_FALSE(dialog.getSaveFileName(nullptr, Request(1, dir.filePath("x.bmp"))).has_value());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(stillOpen);
}

TEST(QtInputBoxTest, ReturnsTheTextOrEmptyOnCancel)
{
    QtInputBox box;
    QString title, label, proposed;
    OnModal<QInputDialog>([&](QInputDialog* d) {
        title = d->windowTitle();
        label = d->labelText();
        proposed = d->textValue();
        d->setTextValue(QStringLiteral("75"));
        d->accept();
    });
    EXPECT_EQ(box.getText(nullptr, "Valeur du ratio de compression", "Indiquez", "100"), "75");
    EXPECT_EQ(title, "Valeur du ratio de compression");
    EXPECT_EQ(label, "Indiquez");
    EXPECT_EQ(proposed, "100");

    OnModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
    EXPECT_EQ(box.getText(nullptr, "t", "p", "100"), "");
}

// Given no ratio box, the save command asks through Qt's own.
TEST(QtInputBoxTest, TheSaveCommandAsksTheRatioInQtsBoxWhenGivenNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SurfaceHost host;
    host.draw(Symbology::Code39, u"CODE39");
    FakeSaveFileDialog dialog;
    FakeMessageBox messages;
    SaveSeams seams;
    seams.dialog = &dialog;
    seams.messageBox = &messages;
    seams.converterFolders = {ConverterFolder()};
    seams.temporaryRoot = dir.path();
    SaveCommand command(host, seams);

    QString title;
    OnModal<QInputDialog>([&](QInputDialog* d) {
        title = d->windowTitle();
        d->setTextValue(QStringLiteral("80"));
        d->accept();
    });
    dialog.answers.push_back(FakeSaveFileDialog::Answer{dir.filePath("typed.jpg"), 5, true});
    command.run();
    dialog.answers.push_back(FakeSaveFileDialog::Answer{dir.filePath("fixed.jpg"), 3, true});
    command.run(); // type 3: ratio 80, no box
    EXPECT_EQ(title, "Valeur du ratio de compression");
    EXPECT_TRUE(messages.shown.empty());
    const QByteArray typed = ReadAll(dir.filePath("typed.jpg"));
    EXPECT_TRUE(typed.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(typed, ReadAll(dir.filePath("fixed.jpg")));
}
