// The files themselves: SVG bars on the bitmap's columns, --scale blowing
// pixels up, the stored resolution, 1-bit BMPs that other programs open,
// and the combinations --help says readers cannot read.
#include "CliRun.h"
#include "barcode/Symbologies.h"
#include "cli/Render.h"
#include "support/Decoders.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace zebrix;
using test::DecodeWithZbar;
using test::DecodeWithZXing;
using test::RunZebrixCli;

namespace {

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

std::uint32_t U32(const QByteArray& b, int at)
{
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8
        | static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

QImage Window(Symbology type, const std::u16string& text, Options options)
{
    cli::RenderRequest request;
    request.typeCode = type;
    request.text = text;
    request.options = options;
    return cli::RenderBarcode(request).image;
}

QStringList SymbologyArgs(Symbology type, Options o)
{
    static const char* names[] = {"code39", "i2of5", "code128", "codabar"};
    QStringList args{"-s", names[static_cast<int>(type)]};
    if (o.widenSpaces)
        args << "-p";
    if (!o.addLabel)
        args << "--no-label";
    if (o.addCheck)
        args << "-c";
    return args;
}

bool Readable(const QImage& image, const std::string& text, bool zbar)
{
    return zbar ? !DecodeWithZbar(image).empty() && DecodeWithZbar(image).front().find(text) != std::string::npos
                : DecodeWithZXing(image) == std::vector<std::string>{text};
}

} // namespace

TEST(Svg, OneRectanglePerBarOnTheBitmapsColumns)
{
    QTemporaryDir dir;
    const std::vector<std::pair<Symbology, std::u16string>> samples = {
        {Symbology::Code39, u"ZEBRIX"}, {Symbology::Interleaved2of5, u"0123456789"}, {Symbology::Code128, u"<Tom & \"Jerry\">"}, {Symbology::Codabar, u"12-34"}};
    for (const auto& [type, text] : samples)
        for (int P : {0, 1})
            for (int L : {0, 1}) {
                const Options o{P, L, 0};
                const QString svg = dir.filePath("b.svg");
                const auto r = RunZebrixCli(SymbologyArgs(type, o) << "-o" << svg << "--" << QString::fromStdU16String(text));
                ASSERT_EQ(r.status, 0) << r.err.toStdString();
                const QString content = QString::fromUtf8(Bytes(svg));
                const QImage bitmap = Window(type, text, o);

                // Runs of black columns on a row inside the bars.
                std::vector<std::pair<int, int>> runs;
                for (int x = 0; x < bitmap.width(); ++x)
                    if (qGray(bitmap.pixel(x, 10)) < 128) {
                        if (!runs.empty() && runs.back().second == x)
                            runs.back().second = x + 1;
                        else
                            runs.push_back({x, x + 1});
                    }
                std::vector<std::pair<int, int>> rects;
                const QRegularExpression rect(R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="(\d+)"/>)re");
                const auto group = content.section(QStringLiteral("<g fill=\"#000\">"), 1).section(QStringLiteral("</g>"), 0, 0);
                for (auto m = rect.globalMatch(group); m.hasNext();) {
                    const auto match = m.next();
                    EXPECT_EQ(match.captured(2).toInt(), 1);
                    EXPECT_EQ(match.captured(4).toInt(), 58 - 8 * L); // rows 1 to 58 - 8L
                    rects.push_back({match.captured(1).toInt(), match.captured(1).toInt() + match.captured(3).toInt()});
                }
                EXPECT_EQ(rects, runs) << "type " << static_cast<int>(type) << " P" << P << " L" << L;
                EXPECT_TRUE(content.contains(QStringLiteral("viewBox=\"0 0 %1 67\"").arg(bitmap.width())));
                EXPECT_EQ(content.contains(QStringLiteral("<text ")), L == 1);
            }
    const QString escaped = QString::fromUtf8(Bytes(dir.filePath("b.svg")));
    // The last one drawn was Codabar; the Code 128 label is escaped.
    ASSERT_EQ(RunZebrixCli({"-s", "code128", "-o", dir.filePath("t.svg"), "<Tom & \"Jerry\">"}).status, 0);
    EXPECT_TRUE(QString::fromUtf8(Bytes(dir.filePath("t.svg"))).contains("&lt;Tom &amp; &quot;Jerry&quot;&gt;</text>"));
}

TEST(Scale, PixelsBlownUpAndTheResolutionStored)
{
    QTemporaryDir dir;
    const QImage one = Window(Symbology::Code128, u"Scale 3", Options{0, 1, 0});
    for (int n : {1, 2, 3, 5})
        for (const QString ext : {"bmp", "png", "jpg"}) {
            const QString path = dir.filePath("s." + ext);
            const auto r = RunZebrixCli({"-s", "code128", "--scale", QString::number(n), "-o", path, "Scale 3"});
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
            const QImage image(path);
            ASSERT_EQ(image.size(), one.size() * n) << ext.toStdString();
            // 96 x N dots per inch: the printed size is the window's.
            // (JPEG keeps whole dots per inch: one dot per metre may be lost on the way back.)
            EXPECT_NEAR(image.dotsPerMeterX(), std::lround(96.0 * n / 0.0254), ext == "jpg" ? 1 : 0) << ext.toStdString() << n;
            EXPECT_NEAR(image.dotsPerMeterY(), std::lround(96.0 * n / 0.0254), ext == "jpg" ? 1 : 0);
            if (ext == "jpg")
                continue;
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), one.scaled(one.size() * n, Qt::IgnoreAspectRatio, Qt::FastTransformation))
                << ext.toStdString() << n;
        }
    // --dpi stores another resolution: 3 dots at 300 dpi is a 0.254 mm module.
    auto r = RunZebrixCli({"-s", "code128", "--scale", "3", "--dpi", "300", "-o", dir.filePath("d.bmp"), "X"});
    ASSERT_EQ(r.status, 0);
    const QByteArray bmp = Bytes(dir.filePath("d.bmp"));
    EXPECT_EQ(U32(bmp, 38), 11811u); // 300 / 0.0254
    EXPECT_EQ(U32(bmp, 42), 11811u);
    // The SVG's size in millimetres follows the same rule.
    r = RunZebrixCli({"-s", "code128", "--scale", "3", "--dpi", "300", "-o", dir.filePath("d.svg"), "X"});
    ASSERT_EQ(r.status, 0);
    const int width = Window(Symbology::Code128, u"X", Options{0, 1, 0}).width();
    const QString svg = QString::fromUtf8(Bytes(dir.filePath("d.svg")));
    const auto mm = QRegularExpression(R"re(width="([\d.]+)mm" height="([\d.]+)mm")re").match(svg);
    ASSERT_TRUE(mm.hasMatch());
    EXPECT_NEAR(mm.captured(1).toDouble(), width * 3 * 25.4 / 300, 1e-3);
    EXPECT_NEAR(mm.captured(2).toDouble(), 67 * 3 * 25.4 / 300, 1e-3);
    r = RunZebrixCli({"-o", dir.filePath("e.svg"), "X"});
    const auto mm96 = QRegularExpression(R"re(height="([\d.]+)mm")re").match(QString::fromUtf8(Bytes(dir.filePath("e.svg"))));
    EXPECT_NEAR(mm96.captured(1).toDouble(), 67 * 25.4 / 96, 1e-3);

    for (const QStringList& bad : {QStringList{"--scale", "0"}, QStringList{"--scale", "1.5"}, QStringList{"--scale", "101"},
                                   QStringList{"--dpi", "0"}, QStringList{"--dpi", "-3"}, QStringList{"--dpi", "x"}})
        EXPECT_EQ(RunZebrixCli(QStringList(bad) << "-o" << dir.filePath("bad.bmp") << "X").status, 2) << bad.join(' ').toStdString();
    // Too many dots: refused, not attempted.
    r = RunZebrixCli({"--scale", "100", "-w", "65535", "-o", dir.filePath("huge.bmp"), "X"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("--scale"));
    EXPECT_FALSE(QFile::exists(dir.filePath("huge.bmp")));
}

TEST(Bmp, OneBitFilesOtherProgramsOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("mono.bmp");
    ASSERT_EQ(RunZebrixCli({"-s", "code128", "-o", path, "Zebrix 1.0"}).status, 0);
    const QByteArray bmp = Bytes(path);
    const QImage window = Window(Symbology::Code128, u"Zebrix 1.0", Options{0, 1, 0});
    EXPECT_EQ(bmp.left(2), "BM");
    EXPECT_EQ(U32(bmp, 28) & 0xFFFF, 1u); // bits per pixel
    const std::uint32_t rowBytes = ((window.width() + 31) / 32) * 4;
    EXPECT_EQ(static_cast<std::uint32_t>(bmp.size()), 62 + rowBytes * 67);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), window);
    EXPECT_EQ(DecodeWithZbar(QImage(path)), std::vector<std::string>{"Zebrix 1.0"});
    if (!QStandardPaths::findExecutable("identify").isEmpty()) {
        QProcess identify;
        identify.start("identify", {"-format", "%m %w %h %z", path});
        identify.waitForFinished();
        EXPECT_TRUE(QString::fromUtf8(identify.readAllStandardOutput())
                        .contains(QRegularExpression(QStringLiteral("^BMP3? %1 67 1").arg(window.width()))));
    }
}

// What --help lists as unreadable is measured here, with both readers, next
// to a readable neighbour of each case.
TEST(Readers, WhatTheHelpSaysCannotBeRead)
{
    struct Case {
        Symbology type;
        std::u16string text;
        Options options;
        std::string read;
        bool zxing, zbar;
    };
    const std::vector<Case> cases = {
        {Symbology::Code128, u"Hello", {1, 1, 0}, "Hello", false, false},
        {Symbology::Code128, u"Hello, World!", {0, 1, 0}, "Hello, World!", true, true},
        {Symbology::Code39, u"A$B", {1, 1, 0}, "A$B", false, true},
        {Symbology::Code39, u"A/B", {1, 1, 0}, "A/B", false, true},
        {Symbology::Code39, u"A+B", {1, 1, 0}, "A+B", false, true},
        {Symbology::Code39, u"A%B", {1, 1, 0}, "A%B", false, true},
        {Symbology::Code39, u"Z4", {1, 1, 1}, "Z4$", false, true}, // check character "$"
        {Symbology::Code39, u"A-B. C", {1, 1, 0}, "A-B. C", true, true},
        {Symbology::Code39, u"A$B", {0, 1, 0}, "A$B", true, true},
        {Symbology::Interleaved2of5, u"1234", {0, 1, 0}, "1234", false, true},
        {Symbology::Interleaved2of5, u"12345", {1, 1, 0}, "012345", true, true},
        {Symbology::Interleaved2of5, u"123", {0, 1, 1}, "1236", false, true},
        {Symbology::Codabar, u"1", {0, 1, 0}, "1", false, true},
        {Symbology::Codabar, u"12", {1, 1, 0}, "12", true, true},
        {Symbology::Codabar, u"1a2", {0, 1, 0}, "1a2", false, false},
        // zbar misses about one Code 128 symbol in ten at one dot per module.
        {Symbology::Code128, u"|", {0, 1, 0}, "|", true, false},
        {Symbology::Code128, u"Hello", {0, 1, 0}, "Hello", true, false},
    };
    for (const auto& c : cases) {
        const QImage image = Window(c.type, c.text, c.options);
        const std::string what = QString::fromStdU16String(c.text).toStdString() + " type " + std::to_string(static_cast<int>(c.type))
            + " P" + std::to_string(c.options.widenSpaces);
        EXPECT_EQ(Readable(image, c.read, false), c.zxing) << "ZXing " << what;
        EXPECT_EQ(Readable(image, c.read, true), c.zbar) << "zbar " << what;
    }
    // zbar reads Code 128 from two dots per module on.
    for (const std::u16string text : {u"|", u"Hello"}) {
        const QImage one = Window(Symbology::Code128, text, Options{0, 1, 0});
        EXPECT_EQ(DecodeWithZbar(one.scaled(one.size() * 2)), std::vector<std::string>{QString::fromStdU16String(text).toStdString()});
    }

    QTemporaryDir dir;
    const auto help = RunZebrixCli({"--help"});
    for (const char* claim : {"Code 128 with -p", "Code 39 with -p when the text or its check character holds $ / + %",
                              "fewer than 6 digits drawn", "Codabar with a single character", "a, b, c or d"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(claim))) << claim;
}
