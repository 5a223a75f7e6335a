// The save command driven whole through scripted dialogs, against a real
// drawing surface, the real converter library and real files.
#include "OutputTestSupport.h"
#include "output/SaveCommand.h"
#include "support/FakeInputBox.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>

using namespace zebrix;
using namespace zebrix::test;

namespace {

bool IsBmp(const QByteArray& b) { return b.startsWith("BM"); }
bool IsJpeg(const QByteArray& b) { return b.startsWith("\xFF\xD8\xFF"); }
bool IsPng(const QByteArray& b) { return b.startsWith("\x89PNG\r\n\x1A\n"); }

QImage AsRgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// The file sizes this process may write, for as long as it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail with EFBIG instead
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

} // namespace

class SaveCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char* folder : {"out", "tmp", "empty"})
            ASSERT_TRUE(QDir(root.path()).mkdir(folder));
        host.draw(Symbology::Code39, u"CODE39");
        seams.dialog = &dialog;
        seams.inputBox = &input;
        seams.messageBox = &messages;
        seams.converterFolders = {ConverterFolder()};
        seams.temporaryRoot = root.filePath("tmp");
        command = std::make_unique<SaveCommand>(host, seams);
    }

    void TearDown() override
    {
        // Whatever happened, no temporary file is left: neither our private
        // folder nor a half-written file beside the target.
        EXPECT_EQ(Entries(root.filePath("tmp")), QStringList());
        static const QRegularExpression kTemporary(R"(\.[A-Za-z0-9]{6}$)");
        for (const QString& entry : Entries(out()))
            EXPECT_FALSE(kTemporary.match(entry).hasMatch()) << entry.toStdString();
    }

    QString out(const QString& name = {}) const { return name.isEmpty() ? root.filePath("out") : root.filePath("out/" + name); }

    void save(const QString& path, int fileType, bool replaceExisting = true)
    {
        dialog.answers.push_back(FakeSaveFileDialog::Answer{path, fileType, replaceExisting});
        command->run();
    }

    // The JPEG the converter makes of the surface with this ratio.
    QByteArray referenceJpeg(int ratio)
    {
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "BMP").write(host.currentImage().convertToFormat(QImage::Format_RGB888));
        const QString source = root.filePath("reference.bmp");
        const QString destination = root.filePath("reference.jpg");
        if (!WriteAll(source, bmp) || RealConverter()(QFile::encodeName(source).constData(),
                                                      QFile::encodeName(destination).constData(), ratio, 1) != 0)
            return {};
        const QByteArray jpeg = ReadAll(destination);
        QFile::remove(source);
        QFile::remove(destination);
        return jpeg;
    }

    void expectOneError(const QString& fileName, const QString& detail)
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        const auto& box = messages.shown.front();
        EXPECT_EQ(box.title, "Erreur");
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_TRUE(box.text.contains(fileName)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(detail)) << box.text.toStdString();
    }

    void expectWindowUntouched()
    {
        EXPECT_EQ(host.caption, "Zebrix");
        EXPECT_FALSE(host.surface.hasBackgroundPicture());
    }

    QTemporaryDir root;
    SurfaceHost host;
    FakeSaveFileDialog dialog;
    FakeInputBox input;
    FakeMessageBox messages;
    SaveSeams seams;
    std::unique_ptr<SaveCommand> command;
};

TEST_F(SaveCommandTest, FirstDialogOffersTheFileTypesWithTypeOneAndNoName)
{
    command->memory().lastFileName = "Sans Nom.bmp"; // the untitled name is never proposed
    command->run();                       // and cancelled
    ASSERT_EQ(dialog.requests.size(), 1u);
    const SaveDialogRequest& r = dialog.requests.front();
    EXPECT_EQ(r.title, "Enregistrer Sous");
    EXPECT_EQ(r.selectedType, 1);
    EXPECT_EQ(r.proposedName, "");
    EXPECT_TRUE(r.confirmOverwrite);
    const std::vector<std::pair<QString, QString>> expected = {
        {"Image en mode point  (*.BMP)", "*.BMP"},
        {"Format JPG-Ratio 100% (*.JPG)", "*.JPG"},
        {"Format JPG-Ratio 80%  (*.JPG)", "*.JPG"},
        {"Format JPG-Ratio 50%  (*.JPG)", "*.JPG"},
        {QString::fromUtf8("Format JPG-Ratio personnalisé (*.JPG)"), "*.JPG"},
        {"Image PNG  (*.PNG)", "*.PNG"},
    };
    ASSERT_EQ(r.fileTypes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.fileTypes[i].description, expected[i].first);
        EXPECT_EQ(r.fileTypes[i].pattern, expected[i].second);
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(command->memory().lastFileType, 1);
}

TEST_F(SaveCommandTest, NextDialogProposesTheTypeChosenAndThePathWritten)
{
    save(out("code.png"), 3);
    EXPECT_EQ(command->memory().lastFileType, 3);
    EXPECT_EQ(command->memory().lastFileName, out("code.jpg"));
    command->run(); // cancelled
    ASSERT_EQ(dialog.requests.size(), 2u);
    EXPECT_EQ(dialog.requests[1].selectedType, 3);
    EXPECT_EQ(dialog.requests[1].proposedName, out("code.jpg"));

    save(out("other.bmp"), 6);
    command->run();
    EXPECT_EQ(dialog.requests[3].selectedType, 6);
    EXPECT_EQ(dialog.requests[3].proposedName, out("other.png"));
}

TEST_F(SaveCommandTest, TheFileWrittenTakesItsFormatsExtensionAfterTheFirstDot)
{
    struct Case {
        QString chosen;
        int type;
        QString written;
        bool (*format)(const QByteArray&);
    };
    const std::vector<Case> cases = {
        {"code.png", 1, "code.bmp", IsBmp},   {"my.code.bmp", 2, "my.jpg", IsJpeg},
        {"code", 3, "code.jpg", IsJpeg},      {"code", 1, "code.bmp", IsBmp},
        {"Code.BMP", 1, "Code.bmp", IsBmp},   {"code.", 4, "code.jpg", IsJpeg},
        {"a.b.c.d", 6, "a.png", IsPng},       {"image.jpeg", 2, "image.jpg", IsJpeg},
        // Blanks, accents and signs are written as chosen.
        {QString::fromUtf8("mon code barre.png"), 1, QString::fromUtf8("mon code barre.bmp"), IsBmp},
        {QString::fromUtf8("Étiquette à côté.v2.final.bmp"), 3, QString::fromUtf8("Étiquette à côté.jpg"), IsJpeg},
        {QString::fromUtf8("code 39 №1"), 6, QString::fromUtf8("code 39 №1.png"), IsPng},
        {QString::fromUtf8("  blancs  .jpg"), 2, QString::fromUtf8("  blancs  .jpg"), IsJpeg},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString folder = out(QString::fromUtf8("étiquettes %1").arg(++n));
        ASSERT_TRUE(QDir().mkdir(folder));
        save(folder + "/" + c.chosen, c.type);
        EXPECT_EQ(Entries(folder), QStringList{c.written}) << c.chosen.toStdString();
        EXPECT_TRUE(c.format(ReadAll(folder + "/" + c.written))) << c.written.toStdString();
        EXPECT_EQ(host.caption, "Ruvovez : " + c.written);
        EXPECT_EQ(command->memory().lastFileName, folder + "/" + c.written);
        EXPECT_EQ(command->memory().lastFileType, c.type);
    }
    EXPECT_TRUE(messages.shown.empty());
}

// The answer typed in the ratio box, a cancelled box ("") included.
TEST_F(SaveCommandTest, CustomRatioFromTheAnswerTyped)
{
    const std::vector<std::pair<QString, int>> cases = {
        {"75", 75},    {"20", 20},    {"19", 100},     {"101", 100}, {"abc", 100}, {"75%", 75},
        {"7 5", 75},   {"7\n5", 75},  {"19.5", 20},    {"100.5", 100}, {"20,5", 20}, {"", 100},
        {"&H4B", 75},  {"-50", 100},  {" 3.5E1 ", 35},
    };
    for (const auto& [answer, ratio] : cases) {
        input.answers.push_back(answer);
        save(out("c.jpg"), 5);
        EXPECT_EQ(ReadAll(out("c.jpg")), referenceJpeg(ratio)) << '"' << answer.toStdString() << "\" should give " << ratio;
        EXPECT_EQ(command->memory().lastRatioText, answer);
    }
    EXPECT_TRUE(messages.shown.empty());

    // The box: its title, the name with its new extension, and the last answer proposed.
    ASSERT_EQ(input.shown.size(), cases.size());
    EXPECT_EQ(input.shown[0].title, "Valeur du ratio de compression");
    EXPECT_EQ(input.shown[0].prompt, "Indiquez le ratio de compression (20-100) pour le fichier c.jpg.");
    EXPECT_EQ(input.shown[0].defaultText, "100");
    EXPECT_EQ(input.shown[1].defaultText, "75");
    EXPECT_EQ(input.shown[12].defaultText, "100"); // after the empty answer

    // Types 2 to 4 have their own ratio and ask nothing.
    for (const auto& [type, ratio] : std::vector<std::pair<int, int>>{{2, 100}, {3, 80}, {4, 50}}) {
        save(out("f.jpg"), type);
        EXPECT_EQ(ReadAll(out("f.jpg")), referenceJpeg(ratio)) << type;
    }
    EXPECT_EQ(input.shown.size(), cases.size());
}

TEST_F(SaveCommandTest, RatioOutsideSixteenBitsWritesNothingAndIsProposedAgain)
{
    input.answers = {"40000"};
    save(out("c.png"), 5);
    expectOneError(out("c.jpg"), "40000");
    EXPECT_EQ(Entries(out()), QStringList());
    expectWindowUntouched();
    EXPECT_EQ(command->memory().lastRatioText, "40000");
    EXPECT_EQ(command->memory().lastFileName, out("c.png"));
    EXPECT_EQ(command->memory().lastFileType, 5);

    input.answers = {"60"};
    save(out("c.png"), 5);
    ASSERT_EQ(input.shown.size(), 2u);
    EXPECT_EQ(input.shown[1].defaultText, "40000");
    EXPECT_EQ(ReadAll(out("c.jpg")), referenceJpeg(60));
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SaveCommandTest, CancelChangesNothing)
{
    save(out("code.jpg"), 2);
    const SaveMemory before = command->memory();
    const QImage background = host.surface.backgroundPicture();
    const QByteArray file = ReadAll(out("code.jpg"));
    host.caption = "Ruvovez : code.jpg";

    command->run(); // cancel
    save(out("code.jpg"), 1, false); // the dialog's "replace?" declined: a cancel too

    EXPECT_EQ(command->memory().lastFileName, before.lastFileName);
    EXPECT_EQ(command->memory().lastFileType, before.lastFileType);
    EXPECT_EQ(host.caption, "Ruvovez : code.jpg");
    EXPECT_EQ(host.backgroundSets, 1);
    EXPECT_EQ(host.surface.backgroundPicture(), background);
    EXPECT_EQ(Entries(out()), QStringList{"code.jpg"});
    EXPECT_EQ(ReadAll(out("code.jpg")), file);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SaveCommandTest, TheSavedFileBecomesTheBackgroundUntilReset)
{
    const QImage drawn = host.currentImage();
    save(out("code.bmp"), 1);
    ASSERT_TRUE(host.surface.hasBackgroundPicture());
    EXPECT_EQ(AsRgb(host.surface.backgroundPicture()), AsRgb(QImage(out("code.bmp"))));
    EXPECT_EQ(AsRgb(host.surface.backgroundPicture()), AsRgb(drawn)); // BMP: every pixel kept

    // Later drawings go over the saved picture...
    host.draw(Symbology::Code128, u"NEW");
    SurfaceHost fresh;
    fresh.draw(Symbology::Code128, u"NEW");
    EXPECT_NE(AsRgb(host.currentImage()), AsRgb(fresh.currentImage()));
    // ...until the reset removes it; the caption stays.
    host.surface.clearBackgroundPicture();
    host.draw(Symbology::Code128, u"NEW");
    EXPECT_EQ(AsRgb(host.currentImage()), AsRgb(fresh.currentImage()));
    EXPECT_EQ(host.caption, "Ruvovez : code.bmp");

    // A JPEG save shows the JPEG as it reads back.
    save(out("code.jpg"), 4);
    EXPECT_EQ(AsRgb(host.surface.backgroundPicture()), AsRgb(QImage(out("code.jpg"))));
    EXPECT_EQ(host.caption, "Ruvovez : code.jpg");
}

TEST_F(SaveCommandTest, BmpIsTwentyFourBitsAndPngIsLossless)
{
    save(out("code"), 1);
    const QByteArray bmp = ReadAll(out("code.bmp"));
    ASSERT_GT(bmp.size(), 30);
    EXPECT_EQ(bmp[28], 24); // bits per pixel
    EXPECT_EQ(AsRgb(QImage(out("code.bmp"))), AsRgb(host.currentImage()));

    save(out("code"), 6);
    EXPECT_TRUE(IsPng(ReadAll(out("code.png"))));
    EXPECT_EQ(AsRgb(QImage(out("code.png"))), AsRgb(host.currentImage()));
    EXPECT_EQ(host.caption, "Ruvovez : code.png");
    EXPECT_EQ(command->memory().lastFileType, 6);
}

TEST_F(SaveCommandTest, ReplacingAFileOtherThanTheOneConfirmedIsAskedAgain)
{
    ASSERT_TRUE(WriteAll(out("my.jpg"), "precious"));
    messages.answers = {MessageAnswer::No};
    save(out("my.code.bmp"), 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Enregistrer Sous");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(messages.shown[0].text.contains("my.jpg"));
    EXPECT_EQ(ReadAll(out("my.jpg")), "precious");
    EXPECT_EQ(Entries(out()), QStringList{"my.jpg"});
    expectWindowUntouched();

    messages.answers = {MessageAnswer::Yes};
    save(out("my.code.bmp"), 2);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(IsJpeg(ReadAll(out("my.jpg"))));
    EXPECT_EQ(host.caption, "Ruvovez : my.jpg");

    // The name confirmed by the dialog itself is not asked about twice.
    save(out("my.jpg"), 3);
    EXPECT_EQ(dialog.overwriteQuestions, 1);
    EXPECT_EQ(messages.shown.size(), 2u);
    // Nor is a name nobody uses.
    save(out("new.png"), 1);
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(IsBmp(ReadAll(out("new.bmp"))));
}

TEST_F(SaveCommandTest, MissingConverterFailsJpegWithAMessageAndBmpStillWorks)
{
    seams.converterFolders = {root.filePath("empty")};
    command = std::make_unique<SaveCommand>(host, seams);
    save(out("code.jpg"), 2);
    expectOneError(out("code.jpg"), "libZarezu_BmpJpg.so");
    EXPECT_EQ(Entries(out()), QStringList());
    expectWindowUntouched();
    EXPECT_EQ(command->memory().lastFileName, out("code.jpg"));
    EXPECT_EQ(command->memory().lastFileType, 2);

    save(out("code.jpg"), 1);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(IsBmp(ReadAll(out("code.bmp"))));
    EXPECT_EQ(host.caption, "Ruvovez : code.bmp");
}

TEST_F(SaveCommandTest, BrokenConverterFailsWithAMessageAndLeavesTheOldFile)
{
    const std::vector<std::pair<const char*, QString>> kinds = {
        {"nofunction", "RsBmpToJpg"},
        {"silent", QString::fromUtf8("aucun fichier")},
        {"huge", "70000"},
    };
    for (const auto& [kind, detail] : kinds) {
        ASSERT_TRUE(WriteAll(out("code.jpg"), "precious"));
        messages.shown.clear();
        seams.converterFolders = {FakeConverterFolder(kind)};
        command = std::make_unique<SaveCommand>(host, seams);
        save(out("code.jpg"), 3);
        expectOneError(out("code.jpg"), detail);
        EXPECT_EQ(ReadAll(out("code.jpg")), "precious") << kind;
        expectWindowUntouched();
    }
}

TEST_F(SaveCommandTest, UnwritableTargetsFailWithAMessage)
{
    ASSERT_TRUE(WriteAll(out("file.txt"), "x"));
    ASSERT_TRUE(QDir().mkdir(out("code.bmp")));
    struct Case {
        QString chosen;
        int type;
        QString written;
        QString detail;
    };
    const std::vector<Case> cases = {
        {out("missing/code.png"), 1, out("missing/code.bmp"), QString::fromUtf8("n'existe pas")},
        {out("missing/code.png"), 2, out("missing/code.jpg"), QString::fromUtf8("n'existe pas")},
        {out("file.txt/code.png"), 6, out("file.txt/code.png"), QString::fromUtf8("n'existe pas")},
        {out("code.png"), 1, out("code.bmp"), QString::fromUtf8("un dossier porte ce nom")},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        messages.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
        save(c.chosen, c.type);
        ASSERT_FALSE(messages.shown.empty());
        const auto& box = messages.shown.back();
        EXPECT_EQ(box.title, "Erreur");
        EXPECT_TRUE(box.text.contains(c.written)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(c.detail)) << box.text.toStdString();
        expectWindowUntouched();
    }
    EXPECT_EQ(Entries(out()), (QStringList{"code.bmp", "file.txt"}));
}

TEST_F(SaveCommandTest, FullDiskLeavesTheFileBeingReplacedIntact)
{
    ASSERT_TRUE(WriteAll(out("code.bmp"), "precious"));
    ASSERT_TRUE(WriteAll(out("code.png"), "precious"));
    {
        const FileSizeLimit limit(64); // far below the picture's size in any format
        save(out("code.bmp"), 1);
        save(out("code.png"), 6);
    }
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const auto& box : messages.shown) {
        EXPECT_EQ(box.title, "Erreur");
        EXPECT_TRUE(box.text.contains(QString::fromUtf8("dépasse la taille permise"))) << box.text.toStdString();
    }
    EXPECT_EQ(ReadAll(out("code.bmp")), "precious");
    EXPECT_EQ(ReadAll(out("code.png")), "precious");
    EXPECT_EQ(Entries(out()), (QStringList{"code.bmp", "code.png"}));
    expectWindowUntouched();
}

TEST_F(SaveCommandTest, FullDiskDuringTheConversionLeavesTheFileBeingReplacedIntact)
{
    // Noise makes a JPEG at ratio 100 bigger than its bitmap: a limit between
    // the two lets the bitmap through and stops the converter.
    QImage noise(200, 67, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate() | 0xFF000000u);
    host.surface.resize(200, 67);
    host.surface.setBackgroundPicture(noise);
    host.surface.clear();
    const qint64 bmpSize = 54 + 200 * 3 * 67;
    const qint64 jpegSize = referenceJpeg(100).size();
    ASSERT_GT(jpegSize, bmpSize + 1000);
    host.backgroundSets = 0;

    ASSERT_TRUE(WriteAll(out("code.jpg"), "precious"));
    {
        const FileSizeLimit limit(static_cast<rlim_t>((bmpSize + jpegSize) / 2));
        save(out("code.jpg"), 2);
    }
    expectOneError(out("code.jpg"), QString::fromUtf8("disque plein"));
    EXPECT_EQ(ReadAll(out("code.jpg")), "precious");
    EXPECT_EQ(Entries(out()), QStringList{"code.jpg"});
    EXPECT_EQ(host.caption, "Zebrix");
    EXPECT_EQ(host.backgroundSets, 0);
}

TEST_F(SaveCommandTest, UnusableTemporaryFolderFailsJpegOnly)
{
    seams.temporaryRoot = root.filePath("no/such/folder");
    command = std::make_unique<SaveCommand>(host, seams);
    save(out("code.jpg"), 2);
    expectOneError(out("code.jpg"), root.filePath("no/such/folder"));
    save(out("code.jpg"), 1);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Entries(out()), QStringList{"code.bmp"});
}

TEST_F(SaveCommandTest, ANameStartingWithADotIsRefusedRatherThanHidden)
{
    // The first dot is the extension's: ".code.bmp" would leave ".bmp", a
    // hidden file with no name. Refused with a message, nothing written.
    ASSERT_TRUE(WriteAll(out(".bmp"), "precious"));
    for (const auto& [chosen, type] : std::vector<std::pair<QString, int>>{{".code.bmp", 1}, {".hidden", 2}, {"...", 6}}) {
        messages.shown.clear();
        save(out(chosen), type);
        const QString written = type == 1 ? ".bmp" : type == 2 ? ".jpg" : ".png";
        expectOneError(out(written), QString::fromUtf8("commence par un point"));
        EXPECT_TRUE(messages.shown.front().text.contains(chosen)) << chosen.toStdString();
        EXPECT_EQ(command->memory().lastFileName, out(chosen)); // the dialog's answer is remembered
    }
    EXPECT_EQ(Entries(out()), QStringList{".bmp"});
    EXPECT_EQ(ReadAll(out(".bmp")), "precious");
    expectWindowUntouched();
    EXPECT_TRUE(input.shown.empty()); // refused before any question
}

TEST_F(SaveCommandTest, OnlyPlainFilesAreReplacedNeverDevicesPipesOrBrokenLinks)
{
    ASSERT_TRUE(QDir().mkdir(out("real")));
    ASSERT_TRUE(WriteAll(out("real/target.bmp"), "old"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(out("pipe.bmp")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(out("real/nothing.bmp"), out("broken.bmp")));       // to a file not there
    ASSERT_TRUE(QFile::link(out("no/such/folder/x.bmp"), out("lost.bmp")));     // into a folder not there
    ASSERT_TRUE(QFile::link(out("pipe.bmp"), out("topipe.bmp")));
    ASSERT_TRUE(QFile::link(out("real/target.bmp"), out("good.bmp")));
    // A device: /dev/full's twin where we may make one (a rename over it would
    // leave a plain file in its place).
    const bool device = ::mknod(QFile::encodeName(out("full.bmp")).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0;

    struct Case {
        QString name;
        QString detail;
    };
    std::vector<Case> cases = {
        {"pipe.bmp", QString::fromUtf8("pas un fichier ordinaire")},
        {"topipe.bmp", QString::fromUtf8("pas un fichier ordinaire")},
        {"broken.bmp", QString::fromUtf8("un lien vers « ") + out("real/nothing.bmp")},
        {"lost.bmp", QString::fromUtf8("qui n'existe pas")},
    };
    if (device)
        cases.push_back({"full.bmp", QString::fromUtf8("pas un fichier ordinaire")});
    for (const Case& c : cases) {
        messages.shown.clear();
        save(out(c.name), 1);
        expectOneError(out(c.name), c.detail);
    }
    expectWindowUntouched();
    // Every one as it was: still a pipe, still links, nothing made where they point.
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(out("pipe.bmp")).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (device) {
        ASSERT_EQ(::lstat(QFile::encodeName(out("full.bmp")).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_TRUE(QFileInfo(out("broken.bmp")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(out("real/nothing.bmp")));
    EXPECT_FALSE(QFileInfo::exists(out("no")));

    // A link to a plain file is written through: the link stays, the file it
    // names gets the picture.
    save(out("good.bmp"), 1);
    EXPECT_TRUE(QFileInfo(out("good.bmp")).isSymLink());
    EXPECT_TRUE(IsBmp(ReadAll(out("real/target.bmp"))));
    EXPECT_EQ(host.caption, "Ruvovez : good.bmp");
}

// A disk really full and a folder really read-only, set up by
// with_mounts.sh; skipped when run without them.
class SaveOnMountedFolders : public SaveCommandTest {
protected:
    void SetUp() override
    {
        full = qEnvironmentVariable("ZEBRIX_TEST_FULL_DISK");
        readOnly = qEnvironmentVariable("ZEBRIX_TEST_READ_ONLY");
        if (full.isEmpty() || readOnly.isEmpty())
            GTEST_SKIP() << "run by with_mounts.sh, which mounts a full disk and a read-only folder";
        SaveCommandTest::SetUp();
    }

    QString full;
    QString readOnly;
};

TEST_F(SaveOnMountedFolders, AFullDiskSaysSoAndLeavesItsFilesAsTheyWere)
{
    const QStringList before = Entries(full);
    for (int type : {1, 2, 6}) {
        messages.shown.clear();
        save(full + (type == 1 ? "/code.bmp" : "/code.png"), type);
        const QString written = full + (type == 1 ? "/code.bmp" : type == 2 ? "/code.jpg" : "/code.png");
        expectOneError(written, QString::fromUtf8("le disque est plein"));
    }
    EXPECT_EQ(ReadAll(full + "/code.bmp"), "precious");
    EXPECT_EQ(Entries(full), before); // no file begun and left behind

    // The JPEG's own temporary bitmap on the full disk.
    seams.temporaryRoot = full;
    command = std::make_unique<SaveCommand>(host, seams);
    messages.shown.clear();
    save(out("code.jpg"), 2);
    expectOneError(out("code.jpg"), QString::fromUtf8("le disque est plein"));
    EXPECT_EQ(Entries(full), before);
    EXPECT_EQ(Entries(out()), QStringList());
    expectWindowUntouched();
}

TEST_F(SaveOnMountedFolders, AReadOnlyFolderSaysSoEvenToRootAndKeepsItsFile)
{
    for (int type : {1, 2, 6}) {
        messages.shown.clear();
        save(readOnly + "/code.bmp", type);
        const QString written = readOnly + (type == 1 ? "/code.bmp" : type == 2 ? "/code.jpg" : "/code.png");
        expectOneError(written, QString::fromUtf8("lecture seule"));
    }
    EXPECT_EQ(ReadAll(readOnly + "/code.bmp"), "precious");
    EXPECT_EQ(Entries(readOnly), QStringList{"code.bmp"});
    expectWindowUntouched();
}
