// zebrix-cli as a user runs it: exit codes, messages, files.
#include "barcode/Symbologies.h"
#include "cli/Render.h"
#include "qtsurface/ImageSurface.h"
#include "support/Decoders.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Run {
    int status;
    QString err;
    QString out;
};

Run Cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZEBRIX_CLI), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(p.readAllStandardOutput())};
}

} // namespace

TEST(Cli, WritesEachFormatThatScans)
{
    QTemporaryDir dir;
    for (const QString name : {"a.bmp", "a.png", "a.jpg", "a.JPEG"}) {
        const QString path = dir.filePath(name);
        const auto r = Cli({"-s", "code128", "-o", path, "Zebrix 1.0"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        QImage image(path);
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.height(), 67);
        EXPECT_EQ(zebrix::test::DecodeWithZXing(image), std::vector<std::string>{"Zebrix 1.0"}) << name.toStdString();
    }
    // Black and white only: the BMP takes one bit per pixel.
    QFile bmp(dir.filePath("a.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(30);
    EXPECT_EQ(static_cast<unsigned char>(header[28]), 1);
}

TEST(Cli, PixelsEqualTheWindowSurface)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("w.png");
    const auto r = Cli({"-s", "codabar", "-p", "-c", "-w", "481", "-o", path, "--", "a123-456d"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    zebrix::ImageSurface surface(481, 67);
    zebrix::GenerateBarcode(surface, zebrix::Symbology::Codabar, u"a123-456d", zebrix::Options{1, 1, 1}, 481);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), surface.image());
}

TEST(Cli, DefaultWidthHoldsTheBarsAQuietZoneAndTheLabel)
{
    zebrix::cli::RenderRequest request;
    request.text = u"A";
    auto result = zebrix::cli::RenderBarcode(request);
    EXPECT_EQ(result.image.width(), 66 + 1 + 20); // last bar at 66 (P = 0)

    // A long Code 128 label runs past the bars: the image is as wide as the label.
    request.typeCode = zebrix::Symbology::Code128;
    request.text = u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    request.options.widenSpaces = 1;
    result = zebrix::cli::RenderBarcode(request);
    const int labelEnd = 30 + 5 * static_cast<int>(request.text.size())
        + zebrix::ImageSurface::textWidth(request.text);
    EXPECT_GE(result.image.width(), labelEnd);
}

TEST(Cli, InvalidCharacterGivesTheMessageAndNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.png");
    auto r = Cli({"-o", path, "AB*C"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("* : Caractère non valide !"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));

    r = Cli({"-s", "code128", "-o", path, "né"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral(" : Caractère(s) non valide(s)")));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Cli, UsageErrorsExitTwo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.png");
    for (const QStringList& args : {QStringList{"-o", path, ""}, QStringList{"-o", path}, QStringList{"ABC"},
                                    QStringList{"-s", "qr", "-o", path, "A"}, QStringList{"-w", "0", "-o", path, "A"},
                                    QStringList{"-w", "abc", "-o", path, "A"}, QStringList{"--quality", "19", "-o", path, "A"},
                                    QStringList{"--bogus", "-o", path, "A"}, QStringList{"-o", path, "A", "B"},
                                    QStringList{"-o", dir.filePath("x.gif"), "A"}}) {
        const auto r = Cli(args);
        EXPECT_NE(r.status, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(Cli({"-o", path, "A", "B"}).status, 2);
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--symbology"));
}

TEST(Cli, WriteFailureLeavesNothingBehind)
{
    QTemporaryDir dir;
    // A folder that does not exist, and a target that is a folder.
    auto r = Cli({"-o", dir.filePath("missing/x.png"), "A"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.isEmpty());
    QDir(dir.path()).mkdir("taken.png");
    r = Cli({"-o", dir.filePath("taken.png"), "A"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    // A failed write keeps the file it was to replace.
    const QString existing = dir.filePath("keep.png");
    ASSERT_EQ(Cli({"-o", existing, "KEEP"}).status, 0);
    const QByteArray before = [&] { QFile f(existing); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    if (QFile::exists("/dev/full")) {
        // Writing to a full device fails.
        r = Cli({"-o", "/dev/full", "A"});
        EXPECT_NE(r.status, 0);
    }
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(Cli, AHugeTextIsRefusedClearlyUnlessCropped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.png");
    const QString text(20000, QChar(u'7'));
    auto r = Cli({"-o", path, text});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("pixels wide"));
    r = Cli({"-w", "481", "-o", path, text});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QImage(path).width(), 481);
}
