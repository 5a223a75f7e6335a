// The save command's file dialog, Qt's own, driven on the offscreen platform as a user drives it.
#include "OutputTestSupport.h"
#include "output/SaveCommand.h"

#include <QtTest/QTest>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QComboBox* Types(QFileDialog* d) { return d->findChild<QComboBox*>("fileTypeCombo"); }
QLineEdit* Name(QFileDialog* d) { return d->findChild<QLineEdit*>("fileNameEdit"); }
void ChooseType(QFileDialog* d, int index) { Types(d)->setCurrentIndex(index), emit Types(d)->activated(index); }
void Save(QFileDialog* d) { static_cast<QDialog*>(d)->accept(); } // what the Save button does

// The names the dialog's list shows, sorted.
QStringList Listed(QFileDialog* dialog)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>("listView");
    for (int r = 0; view->model() && r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    return names.sort(), names;
}

class QtSaveDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.jpg", "g.txt"})
            ASSERT_TRUE(WriteAll(dir.filePath(name), {}));
    }
    void save(std::function<void(QFileDialog*)> act)
    {
        OnModal<QFileDialog>(std::move(act)), SaveBarcode(nullptr, image, memory);
    }
    QTemporaryDir dir;
    QImage image{40, 20, QImage::Format_RGB32};
    SaveMemory memory{dir.filePath("code.jpg"), 2, {}};
};

} // namespace

// Title, types as written, files of a type whatever their case; a type chosen renames.
TEST_F(QtSaveDialogTest, ShowsTheFileTypesAsTheyStandAndListsFilesWhateverTheirCase)
{
    QStringList shown;
    save([&](QFileDialog* d) {
        shown << d->windowTitle() << QString::number(Types(d)->currentIndex()) << Name(d)->text();
        for (int i = 0; i < Types(d)->count(); ++i)
            shown << Types(d)->itemText(i);
        ChooseType(d, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(d).size() == 3; }));
        shown << Listed(d) << Name(d)->text();
        Name(d)->setText("code.png"), Save(d);
    });
    EXPECT_EQ(shown,
        QStringList({"Enregistrer Sous", "1", "code.jpg"}) + SaveFileTypes()
            + QStringList({"a.bmp", "b.BMP", "c.Bmp", "code.bmp"}));
    EXPECT_EQ(SaveFileTypes()[0], "Image en mode point  (*.BMP)"); // two blanks before "(" where there are two
    EXPECT_EQ(memory.lastFileName + QString::number(memory.lastFileType), dir.filePath("code.bmp") + "1");
}

// "No" to replacing a file keeps the dialog open, and a cancel then gives nothing.
TEST_F(QtSaveDialogTest, NoToReplacingKeepsTheDialogOpen)
{
    QString asked;
    bool stillOpen = false;
    save([&](QFileDialog* d) {
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            asked = box->text(), box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [&, d] { stillOpen = d->isVisible(), d->reject(); });
        });
        Name(d)->setText("a.bmp"), Save(d);
    });
    EXPECT_TRUE(asked.contains("a.bmp")) << asked.toStdString();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(ReadAll(dir.filePath("a.bmp")), QByteArray());
    EXPECT_EQ(memory.lastFileName, dir.filePath("code.jpg"));
}
