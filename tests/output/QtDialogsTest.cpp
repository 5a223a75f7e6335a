// The real save dialog behind the save command's seam, driven on the
// offscreen platform as a user would drive it.
#include "OutputTestSupport.h"
#include "output/SaveCommand.h"
#include "platform/SaveFileDialog.h"
#include "support/Modal.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
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
    auto* view = dialog->findChild<QListView*>("listView");
    for (int r = 0; view && view->model() && r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

QComboBox* Types(QFileDialog* d) { return d->findChild<QComboBox*>("fileTypeCombo"); }
QLineEdit* Name(QFileDialog* d) { return d->findChild<QLineEdit*>("fileNameEdit"); }
void ChooseType(QFileDialog* d, int index)
{
    Types(d)->setCurrentIndex(index);
    emit Types(d)->activated(index);
}
void Save(QFileDialog* d) { static_cast<QDialog*>(d)->accept(); } // what the Save button does

class QtSaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.jpg", "g.txt"})
            ASSERT_TRUE(WriteAll(dir.filePath(name), {}));
    }
    // The real dialog asked for a name with this type and name proposed, the user doing `act`.
    std::optional<SaveDialogAnswer> ask(
        int selectedType, const QString& proposed, std::function<void(QFileDialog*)> act)
    {
        SaveDialogRequest r{"Enregistrer Sous", {}, selectedType, proposed};
        for (const auto& t : SaveCommand::fileTypes())
            r.fileTypes.push_back(t.shown);
        OnModal<QFileDialog>(std::move(act));
        return dialog.getSaveFileName(nullptr, r);
    }
    QTemporaryDir dir;
    QtSaveFileDialog dialog;
};

} // namespace

// Title, types as written, files of a type whatever their case; a type chosen renames.
TEST_F(QtSaveDialogTest, ShowsTheFileTypesAsTheyStandAndListsFilesWhateverTheirCase)
{
    QStringList shown, expected = {"Enregistrer Sous", "1", "code.jpg"};
    for (const auto& t : SaveCommand::fileTypes())
        expected << t.shown.description; // two blanks before "(" where there are two
    expected << "a.bmp"
             << "b.BMP"
             << "c.Bmp"
             << "code.bmp";
    const auto answer = ask(2, dir.filePath("code.jpg"), [&](QFileDialog* d) {
        shown << d->windowTitle() << QString::number(Types(d)->currentIndex()) << Name(d)->text();
        for (int i = 0; i < Types(d)->count(); ++i)
            shown << Types(d)->itemText(i);
        ChooseType(d, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(d).size() == 3; }));
        shown << Listed(d) << Name(d)->text();
        Name(d)->setText("code.png");
        Save(d);
    });
    EXPECT_EQ(shown, expected);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, QDir(dir.path()).absoluteFilePath("code.png"));
    EXPECT_EQ(answer->fileType, 1);
}

// Each type chosen is the type the next dialog opens on, and Enter keeps it.
TEST_F(QtSaveDialogTest, OpensOnTheTypeChosenLastAndEnterKeepsIt)
{
    for (int type = 1; type <= static_cast<int>(SaveCommand::fileTypes().size()); ++type) {
        SCOPED_TRACE(type);
        const auto chosen = ask(1, dir.filePath("code.bmp"), [&](QFileDialog* d) { ChooseType(d, type - 1), Save(d); });
        ASSERT_TRUE(chosen.has_value());
        int shown = -1;
        const auto again = ask(chosen->fileType, chosen->path, [&](QFileDialog* d) {
            shown = Types(d)->currentIndex() + 1;
            QTest::keyClick(Name(d), Qt::Key_Return);
        });
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(QList({chosen->fileType, shown, again->fileType}), QList({type, type, type}));
        EXPECT_EQ(again->path, chosen->path);
    }
}

// Cancel gives nothing; "No" to replacing keeps the dialog open.
TEST_F(QtSaveDialogTest, CancelAndDeclinedReplaceGiveNothing)
{
    EXPECT_FALSE(ask(1, QString(), [](QFileDialog* d) { d->reject(); }).has_value());
    bool asked = false, stillOpen = false;
    EXPECT_FALSE(ask(1, dir.filePath("x.bmp"), [&](QFileDialog* d) {
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            asked = box->text().contains("a.bmp");
            box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [&, d] { stillOpen = d->isVisible(), d->reject(); });
        });
        Name(d)->setText("a.bmp");
        Save(d);
    }).has_value());
    EXPECT_TRUE(asked && stillOpen);
}
