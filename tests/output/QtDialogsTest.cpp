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
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace zebrix;
using namespace zebrix::test;

namespace {

// The names the dialog's list shows.
QStringList Listed(QFileDialog* dialog)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    for (int r = 0; view && view->model() && r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

QComboBox* Types(QFileDialog* d) { return d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")); }
QLineEdit* Name(QFileDialog* d) { return d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }
void ChooseType(QFileDialog* d, int index)
{
    Types(d)->setCurrentIndex(index);
    emit Types(d)->activated(index);
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

class QtSaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.jpg", "g.txt"})
            ASSERT_TRUE(WriteAll(dir.filePath(name), {}));
    }
    QTemporaryDir dir;
    QtSaveFileDialog dialog;
};

} // namespace

// The types as written, the one asked for, files of the type whatever their
// case; choosing a type gives the name typed its extension.
TEST_F(QtSaveDialogTest, ShowsTheFileTypesAsTheyStandAndListsFilesWhateverTheirCase)
{
    QStringList shownTypes, bmpList;
    int shownIndex = -1;
    QString title, shownName, renamed;
    OnModal<QFileDialog>([&](QFileDialog* d) {
        title = d->windowTitle();
        for (int i = 0; i < Types(d)->count(); ++i)
            shownTypes << Types(d)->itemText(i);
        shownIndex = Types(d)->currentIndex();
        shownName = Name(d)->text();
        ChooseType(d, 0);
        WaitFor([&] { return Listed(d).size() == 3; });
        bmpList = Listed(d);
        Name(d)->setText(QStringLiteral("code.jpg"));
        ChooseType(d, 0);
        renamed = Name(d)->text();
        Name(d)->setText(QStringLiteral("code.png"));
        static_cast<QDialog*>(d)->accept(); // what the Save button does
    });
    const auto answer = dialog.getSaveFileName(nullptr, Request(2, dir.filePath("code.jpg")));
    EXPECT_EQ(title, "Enregistrer Sous");
    QStringList expected;
    for (const auto& t : SaveCommand::fileTypes())
        expected << t.shown.description;
    EXPECT_EQ(shownTypes, expected); // two blanks before "(" where there are two
    EXPECT_EQ(shownIndex, 1);
    EXPECT_EQ(shownName, "code.jpg");
    EXPECT_EQ(bmpList, (QStringList{"a.bmp", "b.BMP", "c.Bmp"}));
    EXPECT_EQ(renamed, "code.bmp");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, QDir(dir.path()).absoluteFilePath("code.png"));
    EXPECT_EQ(answer->fileType, 1);
}

// Each type chosen is the type the next dialog opens on, and Enter keeps it.
TEST_F(QtSaveDialogTest, OpensOnTheTypeChosenLastAndEnterKeepsIt)
{
    for (int type = 1; type <= static_cast<int>(SaveCommand::fileTypes().size()); ++type) {
        SCOPED_TRACE(type);
        OnModal<QFileDialog>([&](QFileDialog* d) {
            ChooseType(d, type - 1);
            static_cast<QDialog*>(d)->accept();
        });
        const auto chosen = dialog.getSaveFileName(nullptr, Request(1, dir.filePath("code.bmp")));
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->fileType, type);
        int shown = -1;
        OnModal<QFileDialog>([&](QFileDialog* d) {
            shown = Types(d)->currentIndex();
            QTest::keyClick(Name(d), Qt::Key_Return);
        });
        const auto again = dialog.getSaveFileName(nullptr, Request(chosen->fileType, chosen->path));
        EXPECT_EQ(shown, type - 1);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->fileType, type);
        EXPECT_EQ(again->path, chosen->path);
    }
}

// Cancel gives nothing; "No" to replacing keeps the dialog open.
TEST_F(QtSaveDialogTest, CancelAndDeclinedReplaceGiveNothing)
{
    OnModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(dialog.getSaveFileName(nullptr, Request(1, QString())).has_value());
    bool asked = false, stillOpen = false;
    OnModal<QFileDialog>([&](QFileDialog* d) {
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            asked = box->text().contains("a.bmp");
            box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [&, d] {
                stillOpen = d->isVisible();
                d->reject();
            });
        });
        Name(d)->setText(QStringLiteral("a.bmp"));
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_FALSE(dialog.getSaveFileName(nullptr, Request(1, dir.filePath("x.bmp"))).has_value());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(stillOpen);
}

// Given no ratio box, the save command asks through Qt's own: its title,
// prompt and proposal shown, the text typed taken, "" on cancel (ratio 100).
TEST(QtInputBoxTest, TheSaveCommandAsksTheRatioInQtsBoxWhenGivenNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SurfaceHost host;
    host.draw(Symbology::Code39, u"CODE39");
    FakeSaveFileDialog dialog;
    FakeMessageBox messages;
    SaveCommand command(host, SaveSeams{&dialog, nullptr, &messages, {ConverterFolder()}, dir.path()});
    QString shown;
    OnModal<QInputDialog>([&](QInputDialog* d) {
        shown = d->windowTitle() + "|" + d->labelText() + "|" + d->textValue();
        d->setTextValue("80");
        d->accept();
    });
    for (const auto& [name, type] : {std::pair{"typed.jpg", 5}, {"fixed.jpg", 3}, {"cancel.jpg", 5}, {"100.jpg", 2}}) {
        if (QString(name) == "cancel.jpg")
            OnModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
        dialog.answers.push_back(FakeSaveFileDialog::Answer{dir.filePath(name), type, true});
        command.run();
    }
    EXPECT_EQ(shown, "Valeur du ratio de compression|Indiquez le ratio de compression (20-100) pour le fichier typed.jpg.|100");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(ReadAll(dir.filePath("typed.jpg")).startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(ReadAll(dir.filePath("typed.jpg")), ReadAll(dir.filePath("fixed.jpg")));
    EXPECT_EQ(ReadAll(dir.filePath("cancel.jpg")), ReadAll(dir.filePath("100.jpg")));
}
