// The save command driven whole through Qt's dialogs, against a real drawing surface, the real converter
// library and real files.
#include "output/SaveCommand.h"
#include "OutputTestSupport.h"
#include "barcode/Drawing.h"
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"

#include <QtTest/QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace zebrix;
using namespace zebrix::test;

namespace {

QImage AsRgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }
QString Extension(int type) { return type == 1 ? ".bmp" : type == 6 ? ".png" : ".jpg"; }

// Qt's own file dialog, worked as a user works it.
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

class SaveCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid() && QDir(root.path()).mkpath("out") && QDir(root.path()).mkpath("tmp"));
        qputenv("TMPDIR", QFile::encodeName(root.filePath("tmp")));
        surface.show(Encode(Symbology::Code39, u"CODE39", {0, 1, 0}, surface.width()));
    }

    // Whatever happened, no temporary file is left, ours or beside the target.
    void TearDown() override
    {
        qputenv("ZEBRIX_CONVERTER_DIR", QFile::encodeName(real)), qunsetenv("TMPDIR");
        EXPECT_EQ(Entries(root.filePath("tmp")), QStringList());
        for (const QString& entry : Entries(out()))
            EXPECT_FALSE(QRegularExpression(R"(\.[A-Za-z0-9]{6}$)").match(entry).hasMatch()) << entry.toStdString();
    }

    QString out(const QString& name = {}) const { return root.filePath(name.isEmpty() ? "out" : "out/" + name); }

    // Saves as the window does: the picture read back goes under the drawing.
    void save(const QString& path, int fileType)
    {
        dialogs.files.push_back({path, fileType});
        if (const auto saved = SaveBarcode(nullptr, surface.image(), memory))
            surface.setBackgroundPicture(saved->picture), caption = saved->caption;
    }

    // The JPEG the converter makes of the surface with this ratio.
    QByteArray referenceJpeg(int ratio)
    {
        const QString bmp = root.filePath("reference.bmp"), jpeg = root.filePath("reference.jpg");
        surface.image().convertToFormat(QImage::Format_RGB888).save(bmp, "BMP");
        RealConverter()(QFile::encodeName(bmp).constData(), QFile::encodeName(jpeg).constData(), ratio, 1);
        const QByteArray bytes = ReadAll(jpeg);
        return QFile::remove(bmp) && QFile::remove(jpeg) ? bytes : QByteArray();
    }

    // One box shows the error, naming the file and what went wrong.
    void expectError(const QString& fileName, const QString& detail)
    {
        ASSERT_EQ(dialogs.shown.size(), 1);
        SCOPED_TRACE(dialogs.shown[0].toStdString());
        EXPECT_TRUE(dialogs.shown[0].startsWith("Erreur|" + QString::number(QMessageBox::Critical) + "|"));
        EXPECT_TRUE(dialogs.shown[0].contains(fileName));
        EXPECT_TRUE(dialogs.shown[0].contains(detail));
        dialogs.shown.clear();
    }

    QTemporaryDir root;
    const QString real = ConverterFolder();
    BarcodePicture surface{BarcodePicture::kDefaultWidth};
    QString caption = "Zebrix";
    SaveMemory memory;
    Dialogs dialogs;
};

} // namespace

// Name, format, background, caption and next proposal of each file written.
TEST_F(SaveCommandTest, TheFileWrittenTakesItsFormatsExtensionAfterTheFirstDot)
{
    const std::tuple<QString, int, QString> rows[] = {{"code.png", 1, "code.bmp"}, {"my.code.bmp", 2, "my.jpg"},
        {"code", 3, "code.jpg"}, {"Code.BMP", 1, "Code.bmp"}, {"code.", 4, "code.jpg"}, {"a.b.c.d", 6, "a.png"},
        {"Étiquette à côté.v2.final.bmp", 3, "Étiquette à côté.jpg"}, {"  code 39 №1", 6, "  code 39 №1.png"}};
    const QImage drawn = AsRgb(surface.image());
    int n = 0;
    for (const auto& [chosen, type, written] : rows) {
        SCOPED_TRACE(chosen.toStdString());
        const QString folder = out(QString("étiquettes %1").arg(++n)), path = folder + "/" + written;
        ASSERT_TRUE(QDir().mkdir(folder));
        save(folder + "/" + chosen, type);
        EXPECT_EQ(Entries(folder), QStringList{written});
        const QByteArray bytes = ReadAll(path);
        EXPECT_TRUE(bytes.startsWith(type == 1 ? "BM" : type == 6 ? "\x89PNG\r\n\x1A\n" : "\xFF\xD8\xFF"));
        EXPECT_TRUE(type != 1 || bytes.at(28) == 24); // bits per pixel
        EXPECT_TRUE((type != 1 && type != 6) || AsRgb(QImage(path)) == drawn); // lossless
        EXPECT_EQ(AsRgb(surface.backgroundPicture()), AsRgb(QImage(path)));
        EXPECT_EQ(caption, "Ruvovez : " + written);
        EXPECT_EQ(memory.lastFileName + QString::number(memory.lastFileType), path + QString::number(type));
        surface.clearBackgroundPicture();
    }
    EXPECT_EQ(dialogs.shown, QStringList());
}

// The ratio box: each answer's ratio, or a refusal past 16 bits; fixed types ask nothing.
TEST_F(SaveCommandTest, CustomRatioFromTheAnswerTyped)
{
    const std::pair<QString, int> rows[] = {// ratio 0: refused; no answer: cancelled
        {"75", 75}, {"20", 20}, {"19", 100}, {"101", 100}, {"abc", 100}, {"", 100}, {"19.5", 20}, {"-50", 100},
        {"40000", 0}, {" 3.5E1 ", 35}, {"&H4B", 75}, {"100.5", 100}, {"7\n5", 75}, {{}, 100}};
    QString previous = "100";
    for (const auto& [answer, ratio] : rows) {
        SCOPED_TRACE('"' + answer.toStdString() + '"');
        QFile::remove(out("c.jpg"));
        if (!answer.isNull())
            dialogs.inputs.push_back(answer);
        save(out("c.png"), 5);
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_EQ(dialogs.shown.takeFirst(),
            "Valeur du ratio de compression|Indiquez le ratio de compression (20-100) pour le fichier c.jpg.|"
                + previous);
        EXPECT_EQ(memory.lastRatioText, answer);
        EXPECT_EQ(ReadAll(out("c.jpg")), ratio ? referenceJpeg(ratio) : QByteArray());
        if (ratio == 20) { // the lowest ratio still scans
            EXPECT_EQ(Decode(Reader::Zbar, QImage(out("c.jpg"))), std::vector<std::string>{"CODE39"});
        }
        if (!ratio)
            expectError(out("c.jpg"), answer);
        previous = answer.isEmpty() ? "100" : answer;
    }
    for (const auto& [type, fixed] : {std::pair{2, 100}, {3, 80}, {4, 50}}) {
        save(out("f.jpg"), type);
        EXPECT_EQ(ReadAll(out("f.jpg")), referenceJpeg(fixed)) << type;
    }
    EXPECT_EQ(dialogs.shown, QStringList());
}

// Replacing another file than the one chosen is asked about; a declined replace changes nothing.
TEST_F(SaveCommandTest, ReplacingAnotherFileIsAskedAbout)
{
    ASSERT_TRUE(WriteAll(out("my.jpg"), "precious"));
    dialogs.buttons = {QMessageBox::No, QMessageBox::Yes};
    save(out("my.code.bmp"), 2);
    EXPECT_EQ(dialogs.shown,
        QStringList("Enregistrer Sous|" + QString::number(QMessageBox::Warning)
            + QString("|Le fichier « my.jpg » existe déjà.\nVoulez-vous le remplacer ?")));
    EXPECT_EQ(ReadAll(out("my.jpg")), "precious");
    EXPECT_EQ(caption, "Zebrix");
    save(out("my.code.bmp"), 2); // Yes
    EXPECT_TRUE(ReadAll(out("my.jpg")).startsWith("\xFF\xD8\xFF"));
    save(out("my.jpg"), 3); // confirmed in the dialog: not asked twice
    save(out("new.png"), 1); // nobody's name: not asked
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(Entries(out()), (QStringList{"my.jpg", "new.bmp"}));
}

// Every save that cannot be done says why once and leaves every file as it was
// (on_small_disks.sh adds a full disk and a read-only folder).
TEST_F(SaveCommandTest, AFailedSaveSaysWhyAndLeavesEveryFileAsItWas)
{
    ASSERT_TRUE(QDir().mkpath(out("real")) && QDir().mkpath(out("code.bmp")) && WriteAll(out("code.jpg"), "precious"));
    ASSERT_TRUE(
        WriteAll(out("real/target.bmp"), "old") && WriteAll(out("file.txt"), "x") && WriteAll(out(".bmp"), "precious"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(out("pipe.bmp")).constData(), 0600), 0);
    ASSERT_TRUE(
        QFile::link(out("real/nothing.bmp"), out("broken.bmp")) && QFile::link(out("no/x.bmp"), out("lost.bmp")));
    ASSERT_TRUE(
        QFile::link(out("pipe.bmp"), out("topipe.bmp")) && QFile::link(out("real/target.bmp"), out("good.bmp")));
    const QString full = qEnvironmentVariable("ZEBRIX_TEST_FULL_DISK"),
                  readOnly = qEnvironmentVariable("ZEBRIX_TEST_READ_ONLY");
    const QString tmp = root.filePath("tmp"), notPlain = "pas un fichier ordinaire", dot = "commence par un point",
                  isFull = "le disque est plein", isReadOnly = "lecture seule";
    struct Row {
        QString chosen;
        int type;
        QString written, detail, converters, temporary;
    };
    std::vector<Row> rows = {{"code.jpg", 3, "code.jpg", "libZarezu_BmpJpg.so", tmp, tmp}, // no converter there
        {"code.jpg", 3, "code.jpg", "RsBmpToJpg", FakeConverterFolder("nofunction"), tmp},
        {"code.jpg", 3, "code.jpg", "aucun fichier", FakeConverterFolder("silent"), tmp},
        {"code.jpg", 3, "code.jpg", "70000", FakeConverterFolder("huge"), tmp},
        {"code.jpg", 3, "code.jpg", root.filePath("no/such/folder"), real, root.filePath("no/such/folder")},
        {"pipe.bmp", 1, "pipe.bmp", notPlain, real, tmp}, {"topipe.bmp", 1, "topipe.bmp", notPlain, real, tmp},
        {"broken.bmp", 1, "broken.bmp", QString("un lien vers « ") + out("real/nothing.bmp"), real, tmp},
        {"lost.bmp", 1, "lost.bmp", "qui n'existe pas", real, tmp},
        {"code.bmp", 1, "code.bmp", "un dossier porte ce nom", real, tmp},
        {"missing/code.png", 2, "missing/code.jpg", "n'existe pas", real, tmp},
        {"file.txt/code.png", 6, "file.txt/code.png", "n'existe pas", real, tmp},
        {".code.bmp", 1, ".bmp", dot, real, tmp}, {".hidden", 5, ".jpg", dot, real, tmp},
        {"...", 6, ".png", dot, real, tmp}};
    if (::geteuid() != 0) { // root may replace any file, as in the shell
        ASSERT_TRUE(WriteAll(out("locked.bmp"), "precious") && QFile::setPermissions(out("locked.bmp"), {}));
        rows.push_back({"locked.bmp", 1, "locked.bmp", "protégé en écriture", real, tmp});
    }
    for (int type : {1, 2, 6})
        if (!full.isEmpty() && !readOnly.isEmpty())
            rows.insert(rows.end(),
                {{full + "/old.bmp", type, full + "/old" + Extension(type), isFull, real, tmp},
                    {readOnly + "/old.bmp", type, readOnly + "/old" + Extension(type), isReadOnly, real, tmp}});
    if (!full.isEmpty())
        rows.push_back({"code.jpg", 2, "code.jpg", isFull, real, full}); // the temporary bitmap
    const auto list = [](const QString& folder) { return folder.isEmpty() ? QStringList() : Entries(folder); };
    const QStringList before = Entries(out()), fullBefore = list(full), readOnlyBefore = list(readOnly);
    for (const auto& row : rows) {
        SCOPED_TRACE((row.chosen + " " + row.detail).toStdString());
        qputenv("ZEBRIX_CONVERTER_DIR", QFile::encodeName(row.converters));
        qputenv("TMPDIR", QFile::encodeName(row.temporary));
        save(QDir(out()).filePath(row.chosen), row.type);
        expectError(QDir(out()).filePath(row.written), row.detail);
        EXPECT_EQ(memory.lastFileName, QDir(out()).filePath(row.chosen));
    }
    EXPECT_EQ(caption, "Zebrix");
    EXPECT_FALSE(surface.hasBackgroundPicture());
    EXPECT_EQ(Entries(out()), before);
    EXPECT_EQ(ReadAll(out(".bmp")) + ReadAll(out("code.jpg")), "preciousprecious");
    EXPECT_EQ(QFileInfo(out("locked.bmp")).size(), ::geteuid() ? 8 : 0);
    for (const char* name : {"pipe.bmp", "topipe.bmp", "broken.bmp", "lost.bmp"}) // still what they were
        EXPECT_FALSE(QFileInfo(out(name)).isFile()) << name;
    EXPECT_TRUE(QFileInfo(out("broken.bmp")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(out("real/nothing.bmp")));
    EXPECT_EQ(list(full), fullBefore);
    EXPECT_EQ(list(readOnly), readOnlyBefore);
    EXPECT_TRUE(full.isEmpty() || ReadAll(full + "/old.bmp") + ReadAll(readOnly + "/old.bmp") == "preciousprecious");

    qputenv("TMPDIR", QFile::encodeName(tmp));
    save(out("good.bmp"), 1); // a link to a plain file is written through, and stays
    EXPECT_TRUE(QFileInfo(out("good.bmp")).isSymLink());
    EXPECT_TRUE(ReadAll(out("real/target.bmp")).startsWith("BM"));
    EXPECT_EQ(caption, "Ruvovez : good.bmp");
}

// The file dialog worked by hand: "No" to replacing a file keeps it open, and a cancel then gives nothing; its
// title, the types as written, the files of a type whatever their case, the name following the type chosen.
TEST_F(SaveCommandTest, TheFileDialogKeepsOpenOnNoToReplacingAndShowsTheTypesAsTheyStand)
{
    dialogs.timer.stop(); // the user answers
    for (const char* name : {"a.bmp", "b.BMP", "c.Bmp", "d.jpg", "g.txt"})
        ASSERT_TRUE(WriteAll(out(name), {}));
    memory = {out("code.jpg"), 2, {}};
    const auto saveByHand = [&](std::function<void(QFileDialog*)> act) {
        OnModal<QFileDialog>(std::move(act)), SaveBarcode(nullptr, surface.image(), memory);
    };
    QString asked;
    bool stillOpen = false;
    saveByHand([&](QFileDialog* d) {
        OnModal<QMessageBox>([&, d](QMessageBox* box) {
            asked = box->text(), box->button(QMessageBox::No)->click();
            QTimer::singleShot(0, d, [&, d] { stillOpen = d->isVisible(), d->reject(); });
        });
        Name(d)->setText("a.bmp"), Save(d);
    });
    EXPECT_TRUE(asked.contains("a.bmp")) << asked.toStdString();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(ReadAll(out("a.bmp")), QByteArray());
    EXPECT_EQ(memory.lastFileName, out("code.jpg"));
    QStringList shown;
    saveByHand([&](QFileDialog* d) {
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
}
