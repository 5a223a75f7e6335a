// The page as Qt's PDF printer makes it, read back with poppler: the saved
// barcode scans from the page at 300 dots per inch, at its true size, 1 mm
// from the corner of the printable area. Also the real print dialog, and the
// real printer's failures.
#include "PrintFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>

#include <cmath>
#include <cstdio>

using namespace zebrix;
using namespace zebrix::test;

namespace {

constexpr double kMmPerInch = 25.4;

bool Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The top-left 120 by 80 mm of the first page, in grey levels. Poppler
// smooths a picture that it enlarges less than four times, and shifts it by
// half a picture pixel up and left as it does: readers get the 300 dots per
// inch the issue asks for, measures are taken at 600, where the page is crisp.
QImage RenderPage(const QString& pdf, int dpi = 300)
{
    const QString base = pdf + QStringLiteral("-page");
    const auto dots = [dpi](double mm) { return QString::number(static_cast<int>(mm / kMmPerInch * dpi)); };
    if (!Run(QStringLiteral(ZEBRIX_PDFTOPPM),
             {"-r", QString::number(dpi), "-x", "0", "-y", "0", "-W", dots(120), "-H", dots(80), "-png", "-singlefile",
              pdf, base}))
        return {};
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

int PageCount(const QString& pdf)
{
    QByteArray info;
    if (!Run(QStringLiteral(ZEBRIX_PDFINFO), {pdf}, &info))
        return -1;
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The pictures stored in the document, as stored.
std::vector<QImage> EmbeddedPictures(const QString& pdf)
{
    const QString prefix = pdf + QStringLiteral("-picture");
    if (!Run(QStringLiteral(ZEBRIX_PDFIMAGES), {"-png", pdf, prefix}))
        return {};
    std::vector<QImage> pictures;
    const QFileInfo info(prefix);
    for (const QString& name : QDir(info.path()).entryList({info.fileName() + QStringLiteral("-*.png")}, QDir::Files,
                                                          QDir::Name))
        pictures.push_back(QImage(info.dir().filePath(name)));
    return pictures;
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

// First and last dark column of a row; (-1, -1) when it has none.
std::pair<int, int> DarkColumns(const QImage& image, int y)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (Dark(image, x, y)) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

int FirstDarkRow(const QImage& image, int x)
{
    for (int y = 0; y < image.height(); ++y)
        if (Dark(image, x, y))
            return y;
    return -1;
}

// Smallest rectangle holding every dark pixel.
QRect DarkArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        const auto [first, last] = DarkColumns(image, y);
        if (first >= 0)
            area |= QRect(first, y, last - first + 1, 1);
    }
    return area;
}

class PdfPage : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        pdfPath = folder.filePath(QStringLiteral("page.pdf"));
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        printers.realDocument = [this] { return std::make_unique<QtPrinterDocument>(pdf); };
    }

    // Corner of the printable area on the page, in millimetres, as the
    // printer has it in its dots (Qt's PDF printer rounds the margins to
    // whole points).
    QPointF PrintableCorner() const
    {
        return QPointF(pdf.pageRect(QPrinter::DevicePixel).topLeft()) * kMmPerInch / pdf.resolution();
    }

    // Prints with the print button and renders the one page it makes.
    QImage PrintedPage()
    {
        QFile::remove(pdfPath);
        Print();
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(PageCount(pdfPath), 1);
        return RenderPage(pdfPath);
    }

    QString pdfPath;
    QPrinter pdf{QPrinter::HighResolution};
};

// A picture framed by a one-pixel black border, at the given resolution.
QImage FramedPicture(int width, int height, int dotsPerMeter)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int x = 0; x < width; ++x)
        picture.setPixel(x, 0, 0), picture.setPixel(x, height - 1, 0);
    for (int y = 0; y < height; ++y)
        picture.setPixel(0, y, 0), picture.setPixel(width - 1, y, 0);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    return picture;
}

// Overwrites bytes of a file.
bool Patch(const QString& path, qint64 at, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(at) && file.write(bytes) == bytes.size();
}

} // namespace

TEST_F(PdfPage, SavedBarcodesScanFromThePageAtTheirTrueSize)
{
    // Code 128 keeps its exact module widths only without wider spaces.
    const struct {
        Symbology symbology;
        bool widerSpaces;
        QString text;
        std::string read;
    } samples[] = {
        {Symbology::Code39, true, QStringLiteral("ZEBRIX-42"), "ZEBRIX-42"},
        {Symbology::Code128, false, QStringLiteral("Hello, World"), "Hello, World"},
        {Symbology::Interleaved2of5, true, QStringLiteral("0123456789"), "0123456789"},
    };
    constexpr double kMmPerPixel = kMmPerInch / 96;
    const QPointF corner = PrintableCorner();
    for (const auto& s : samples) {
        SCOPED_TRACE(s.read);
        form->symbologyButton(s.symbology)->click();
        form->optionBox(OptionBox::WidenSpaces)->setChecked(s.widerSpaces);
        Save(s.text);
        const QImage picture = form->barcodeView()->backgroundPicture();
        const QImage page = PrintedPage();
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(ReadZbar(page), s.read);
        EXPECT_EQ(ReadZXing(page), s.read);

        // From the first bar's left edge to the last one's right edge along
        // the picture's row 25, and along the same row on the page.
        const auto [x0, x1] = DarkColumns(picture, 25);
        ASSERT_EQ(x0, 20);
        const double expectedMm = (x1 + 1 - x0) * kMmPerPixel;
        for (int dpi : {300, 600}) {
            const QImage at = dpi == 300 ? page : RenderPage(pdfPath, dpi);
            const double mmPerDot = kMmPerInch / dpi;
            const int row = static_cast<int>((corner.y() + 1 + 25.5 * kMmPerPixel) / mmPerDot);
            const auto [p0, p1] = DarkColumns(at, row);
            ASSERT_GE(p0, 0);
            const double widthMm = (p1 + 1 - p0) * mmPerDot;
            EXPECT_NEAR(widthMm / expectedMm, 1.0, 0.01) << dpi << " dpi";
            // The picture's corner, from its first bar at (20, 1).
            const double left = p0 * mmPerDot - x0 * kMmPerPixel - corner.x();
            const double top = FirstDarkRow(at, p0 + 1) * mmPerDot - 1 * kMmPerPixel - corner.y();
            if (dpi == 600) {
                EXPECT_NEAR(left, 1.0, 0.05);
                EXPECT_NEAR(top, 1.0, 0.05);
            }
            std::printf("%s at %d dpi: bars %.2f mm wide for %.2f mm (%+.2f %%), picture corner at (%.3f, %.3f) mm "
                        "from the printable corner\n",
                        s.read.c_str(), dpi, widthMm, expectedMm, 100 * (widthMm / expectedMm - 1), left, top);
        }
    }
}

TEST_F(PdfPage, ThePictureSitsByItsCornerAtItsFilesResolution)
{
    // Wide margins: the corner is the printable area's, not the paper's.
    pdf.setPageMargins(QMarginsF(12, 20, 15, 15), QPageLayout::Millimeter);
    const QPointF corner = PrintableCorner();
    ASSERT_NEAR(corner.x(), 12, 0.2);
    ASSERT_NEAR(corner.y(), 20, 0.2);

    const struct {
        const char* name;
        const char* format;
        int dotsPerMeter;   // of the picture written
        QByteArray patchAt; // bytes cleared: the file records no resolution
        qint64 offset;
        double dpi; // expected on paper
    } cases[] = {
        {"code.bmp", "bmp", 3780, {}, 0, 96},
        {"code300.jpg", "jpeg", 11811, {}, 0, 300},
        {"bare.bmp", "bmp", 5000, QByteArray(8, '\0'), 38, 96}, // pixels per metre, both axes
        {"bare.jpg", "jpeg", 5000, QByteArray(1, '\0'), 13, 96}, // JFIF density unit: aspect only
    };
    constexpr double kMmPerDot = kMmPerInch / 600;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QLatin1String(c.name));
        QImageWriter writer(path, c.format);
        writer.setQuality(100);
        ASSERT_TRUE(writer.write(FramedPicture(300, 120, c.dotsPerMeter)));
        if (!c.patchAt.isEmpty()) {
            ASSERT_TRUE(Patch(path, c.offset, c.patchAt));
        }
        form->barcodeView()->setBackgroundPicture(LoadPicture(path));

        PrintedPage();
        const QRect area = DarkArea(RenderPage(pdfPath, 600));
        ASSERT_FALSE(area.isEmpty());
        const double mmPerPixel = kMmPerInch / c.dpi;
        EXPECT_NEAR(area.width() * kMmPerDot / (300 * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.height() * kMmPerDot / (120 * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.left() * kMmPerDot - corner.x(), 1.0, 0.05);
        EXPECT_NEAR(area.top() * kMmPerDot - corner.y(), 1.0, 0.05);
    }
}

// Without a resolution in the file Qt would give the picture the screen's;
// the picture keeps 96 dots per inch instead. (Run a second time on a screen
// at 144 dots per inch, where the two differ.)
TEST(PictureFile, APictureWithoutResolutionHas96DotsPerInch)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const int screenDpm = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    if (const int dpi = qEnvironmentVariableIntValue("ZEBRIX_SCREEN_DPI")) {
        ASSERT_EQ(screenDpm, qRound(dpi / 0.0254)); // the screen is at that resolution
    }
    const struct {
        const char* name;
        const char* format;
        qint64 offset;
        QByteArray cleared;
    } cases[] = {
        {"bare.bmp", "bmp", 38, QByteArray(8, '\0')},
        {"bare.jpg", "jpeg", 13, QByteArray(1, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QLatin1String(c.name));
        ASSERT_TRUE(FramedPicture(8, 4, 11811).save(path, c.format));
        ASSERT_TRUE(Patch(path, c.offset, c.cleared));
        EXPECT_EQ(QImageReader(path).read().dotsPerMeterX(), screenDpm); // as Qt reads it
        const QImage loaded = LoadPicture(path);
        ASSERT_FALSE(loaded.isNull());
        EXPECT_EQ(loaded.dotsPerMeterX(), kDefaultDotsPerMeter);
        EXPECT_EQ(loaded.dotsPerMeterY(), kDefaultDotsPerMeter);
    }
    // A recorded resolution stays; a missing file gives nothing.
    const QString path = folder.filePath(QStringLiteral("300.jpg"));
    ASSERT_TRUE(FramedPicture(8, 4, 11811).save(path, "jpeg"));
    EXPECT_EQ(LoadPicture(path).dotsPerMeterX(), 11811);
    EXPECT_TRUE(LoadPicture(folder.filePath(QStringLiteral("none.bmp"))).isNull());

    // Cut short anywhere, a file gives a picture with a resolution, or nothing.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    for (const char* format : {"bmp", "jpeg"}) {
        QByteArray whole;
        QBuffer buffer(&whole);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && FramedPicture(8, 4, 11811).save(&buffer, format));
        const QString cut = folder.filePath(QStringLiteral("cut"));
        for (qsizetype n = 0; n < whole.size(); ++n) {
            QFile f(cut);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(whole.left(n)) == n);
            f.close();
            const QImage loaded = LoadPicture(cut);
            if (!loaded.isNull()) {
                EXPECT_GT(loaded.dotsPerMeterX(), 0) << format << " cut at " << n;
            }
        }
    }
    QLoggingCategory::setFilterRules(QString());
}

TEST_F(PdfPage, AJpegSavedAtRatio50IsPrintedAsLoadedBack)
{
    form->symbologyButton(Symbology::Code128)->click();
    form->optionBox(OptionBox::WidenSpaces)->setChecked(false);
    const QString path = Save(QStringLiteral("JPEG 50"), QStringLiteral("code.jpg"), SaveFormat::Jpeg50);
    const QImage drawn = form->barcodeView()->image(); // the loaded file, nothing drawn over it yet
    const QImage page = PrintedPage();
    EXPECT_EQ(ReadZbar(page), "JPEG 50");
    EXPECT_EQ(ReadZXing(page), "JPEG 50");

    // The page holds the picture of the file, pixel for pixel: the
    // compression's grey fringes included, nothing smoothed or recompressed.
    const std::vector<QImage> pictures = EmbeddedPictures(pdfPath);
    ASSERT_EQ(pictures.size(), 1u);
    const QImage loaded = LoadPicture(path).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(pictures[0].convertToFormat(QImage::Format_RGB32), loaded);
    int grey = 0;
    for (int y = 0; y < loaded.height(); ++y)
        for (int x = 0; x < loaded.width(); ++x)
            grey += qGray(loaded.pixel(x, y)) > 16 && qGray(loaded.pixel(x, y)) < 240;
    EXPECT_GT(grey, 100);
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32), loaded);
}

TEST_F(PdfPage, ARealPrinterFailureLeavesNoFile)
{
    Save(QStringLiteral("NO FILE"));
    pdf.setOutputFileName(folder.filePath(QStringLiteral("missing/page.pdf")));
    Print();
    ExpectOnePrinterError();
    EXPECT_TRUE(NormalPointer());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("missing/page.pdf"))));

    // An abandoned document, or one never ended, prints nothing.
    pdf.setOutputFileName(pdfPath);
    const QImage picture = form->barcodeView()->backgroundPicture();
    {
        QtPrinterDocument document(pdf);
        ASSERT_TRUE(document.begin());
        ASSERT_TRUE(document.drawPicture({1, 1}, picture));
        document.abort();
        EXPECT_FALSE(document.end());
        QtPrinterDocument forgotten(pdf);
        ASSERT_TRUE(forgotten.begin());
        ASSERT_TRUE(forgotten.drawPicture({1, 1}, picture));
    }
    EXPECT_FALSE(QFile::exists(pdfPath));
}
