// Batches as a user runs them: one file per line, bad lines reported by
// number, nothing overwritten within a batch, and --verify.
#include "CliRun.h"
#include "barcode/Symbologies.h"
#include "cli/Render.h"
#include "support/Decoders.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using zebrix::test::DecodeWithZbar;
using zebrix::test::DecodeWithZXing;
using zebrix::test::RunZebrixCli;

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

QImage Window(zebrix::Symbology type, const std::u16string& text, zebrix::Options options = {0, 1, 0})
{
    zebrix::cli::RenderRequest request;
    request.typeCode = type;
    request.text = text;
    request.options = options;
    return zebrix::cli::RenderBarcode(request).image;
}

QStringList Files(const QTemporaryDir& dir, const QString& folder)
{
    return QDir(dir.filePath(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(Batch, OneImagePerLineAndBadLinesByNumber)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("out");
    // CR LF, a bad character, an empty line, bad UTF-8, a last line without a break.
    const QString list = Write(dir, "list.txt", "CODE39\r\nA*B\r\n\r\nabc\r\n\xC3(\r\n-. $/+%\r\nLAST");
    const auto r = RunZebrixCli({"--batch", list, "-o", dir.filePath("out/{n:03}-{text}.bmp")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, QString::fromUtf8("line 2: * : Caractère non valide !\n"
                                       "line 3: empty line, nothing to draw\n"
                                       "line 5: not valid UTF-8\n"));
    EXPECT_EQ(Files(dir, "out"), (QStringList{"001-CODE39.bmp", "004-abc.bmp", "006--. $_+%.bmp", "007-LAST.bmp"}));
    const std::vector<std::pair<QString, std::u16string>> written = {
        {"001-CODE39.bmp", u"CODE39"}, {"004-abc.bmp", u"abc"}, {"006--. $_+%.bmp", u"-. $/+%"}, {"007-LAST.bmp", u"LAST"}};
    for (const auto& [name, text] : written) {
        const QImage image(dir.filePath("out/" + name));
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), Window(zebrix::Symbology::Code39, text)) << name.toStdString();
    }
    EXPECT_EQ(DecodeWithZbar(QImage(dir.filePath("out/004-abc.bmp"))), std::vector<std::string>{"ABC"});
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(Batch, StandardInputAndTheOptionsOfASingleDrawing)
{
    QTemporaryDir dir;
    const auto r = RunZebrixCli({"--batch", "-", "-s", "code128", "-p", "--no-label", "-w", "300", "-o",
                                 dir.filePath("{n}.png")},
                                "Hello\nWorld\n");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()); // not a terminal: nothing but messages
    for (const auto& [name, text] : {std::pair{"1.png", u"Hello"}, std::pair{"2.png", u"World"}}) {
        zebrix::cli::RenderRequest request;
        request.typeCode = zebrix::Symbology::Code128;
        request.text = text;
        request.options = {1, 0, 0};
        request.width = 300;
        EXPECT_EQ(QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32),
                  zebrix::cli::RenderBarcode(request).image);
    }
}

TEST(Batch, ALaterLineNeverOverwritesAnEarlierOne)
{
    QTemporaryDir dir;
    // "A/B" and "A_B" make the same file name.
    auto list = Write(dir, "a.txt", "A/B\nA_B\nC\n");
    auto r = RunZebrixCli({"-s", "code128", "--batch", list, "-o", dir.filePath("{text}.bmp")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("line 2: " + dir.filePath("A_B.bmp") + " was already written by an earlier line"))
        << r.err.toStdString();
    EXPECT_EQ(DecodeWithZXing(QImage(dir.filePath("A_B.bmp"))), std::vector<std::string>{"A/B"});
    EXPECT_TRUE(QFile::exists(dir.filePath("C.bmp")));

    // A name without fields: the first drawable line takes it, the others are refused.
    list = Write(dir, "b.txt", "A*B\nFIRST\nSECOND\n");
    r = RunZebrixCli({"--batch", list, "-o", dir.filePath("same.bmp")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("line 1: * : Caractère non valide !")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("line 2"));
    EXPECT_TRUE(r.err.contains("line 3: " + dir.filePath("same.bmp") + " was already written"));
    EXPECT_EQ(DecodeWithZXing(QImage(dir.filePath("same.bmp"))), std::vector<std::string>{"FIRST"});
}

TEST(Batch, MessagesComeInLineOrderFromAllThreads)
{
    QTemporaryDir dir;
    QByteArray lines;
    QString expected;
    for (int i = 1; i <= 400; ++i) {
        if (i % 7 == 0) {
            lines += "BAD_" + QByteArray::number(i) + "\n";
            expected += QStringLiteral("line %1: _ : Caractère non valide !\n").arg(i);
        } else {
            lines += "OK " + QByteArray::number(i) + "\n";
        }
    }
    const auto r = RunZebrixCli({"--batch", "-", "-j", "2", "-o", dir.filePath("{n:04}.bmp")}, lines);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, expected);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 400 - 400 / 7);
}

TEST(Batch, BadNamesAndInputsAreRefusedUpFront)
{
    QTemporaryDir dir;
    const QString list = Write(dir, "l.txt", "A\n");
    for (const QStringList& args : {QStringList{"--batch", list, "-o", dir.filePath("x{foo}.bmp")},
                                    QStringList{"--batch", list, "-o", dir.filePath("{text}")},
                                    QStringList{"--batch", list, "-o", dir.filePath("{n}.gif")},
                                    QStringList{"--batch", list, "-o", dir.filePath("{n}.bmp"), "TEXT"},
                                    QStringList{"--batch", list}}) {
        const auto r = RunZebrixCli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("zebrix-cli: ")) << r.err.toStdString();
    }
    const auto empty = RunZebrixCli({"--batch", Write(dir, "empty.txt", ""), "-o", dir.filePath("{n}.bmp")});
    EXPECT_EQ(empty.status, 2);
    EXPECT_TRUE(empty.err.contains("no lines to draw")) << empty.err.toStdString();
    QFile::remove(dir.filePath("empty.txt"));
    const auto r = RunZebrixCli({"--batch", dir.filePath("missing.txt"), "-o", dir.filePath("{n}.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("cannot read")) << r.err.toStdString();
    // A folder that does not exist: every line fails to be written.
    const auto w = RunZebrixCli({"--batch", list, "-o", dir.filePath("none/{n}.bmp")});
    EXPECT_EQ(w.status, 1);
    EXPECT_TRUE(w.err.startsWith("line 1: cannot write")) << w.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(Verify, CatchesWhatDoesNotReadBack)
{
    QTemporaryDir dir;
    // Wider spaces break Code 128: written, then reported.
    auto r = RunZebrixCli({"--verify", "-s", "code128", "-p", "-o", dir.filePath("p.bmp"), "Hello"});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains(dir.filePath("p.bmp") + ": no barcode could be read (expected \"Hello\")"))
        << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("p.bmp")));
    // Cut off by a narrow image.
    r = RunZebrixCli({"--verify", "-w", "60", "-o", dir.filePath("w.png"), "HELLO"});
    EXPECT_EQ(r.status, 3);

    // Every format reads back; the Code 39 check character is checked, not compared.
    for (const QString name : {"a.bmp", "a.png", "a.jpg", "a.svg"}) {
        r = RunZebrixCli({"--verify", "-c", "-o", dir.filePath(name), "code39"});
        EXPECT_EQ(r.status, 0) << name.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty());
    }
    // Interleaved 2 of 5 compares the digits drawn (leading zero, check digit).
    r = RunZebrixCli({"--verify", "-s", "i2of5", "-c", "-o", dir.filePath("i.bmp"), "1234"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    // In a batch: each line that does not read back, by number.
    const QString list = Write(dir, "c.txt", "12\n1\na1\n-$:/.+\n");
    r = RunZebrixCli({"--verify", "-s", "codabar", "--batch", list, "-o", dir.filePath("c{n}.svg")});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.count(QStringLiteral("\n")), 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("line 2: " + dir.filePath("c2.svg") + ": no barcode")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("line 3: " + dir.filePath("c3.svg")));
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("c%1.svg").arg(n))));

    // A bad line and an unreadable one: the unreadable file decides.
    const QString mixed = Write(dir, "m.txt", "1\nX\n");
    r = RunZebrixCli({"--verify", "-s", "codabar", "--batch", mixed, "-o", dir.filePath("m{n}.bmp")});
    EXPECT_EQ(r.status, 3);
}

// The labels come from the glyph cache, from Qt when there is none, when it
// is damaged, or when it is turned off: the files are the same every time.
TEST(Batch, SameFilesWithTheGlyphCacheWithoutItOrWithADamagedOne)
{
    QTemporaryDir dir;
    const QString list = Write(dir, "l.txt", "Hello, World!\nAV To ~{|}\n0123456789\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
    const QString cacheFile = dir.filePath("cache/zebrix/label-glyphs.bin");
    auto run = [&](const QString& folder, const QProcessEnvironment& e) {
        QDir(dir.path()).mkdir(folder);
        const auto r = RunZebrixCli({"-s", "code128", "-p", "--batch", list, "-o", dir.filePath(folder + "/{n}.bmp")}, {}, e);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        QStringList bytes;
        for (int n = 1; n <= 3; ++n) {
            QFile f(dir.filePath(QStringLiteral("%1/%2.bmp").arg(folder).arg(n)));
            f.open(QIODevice::ReadOnly);
            bytes << QString::fromLatin1(f.readAll().toHex());
        }
        return bytes;
    };
    const QStringList first = run("first", env); // builds the cache
    ASSERT_TRUE(QFile::exists(cacheFile));
    EXPECT_EQ(run("cached", env), first);
    {
        QFile f(cacheFile);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(100);
        f.write("damage");
    }
    EXPECT_EQ(run("damaged", env), first);
    QProcessEnvironment off = env;
    off.insert("ZEBRIX_NO_GLYPH_CACHE", "1");
    EXPECT_EQ(run("qt", off), first);
    // And the window's own pixels.
    zebrix::cli::RenderRequest request;
    request.typeCode = zebrix::Symbology::Code128;
    request.text = u"AV To ~{|}";
    request.options = {1, 1, 0};
    EXPECT_EQ(QImage(dir.filePath("qt/2.bmp")).convertToFormat(QImage::Format_RGB32), zebrix::cli::RenderBarcode(request).image);
}
