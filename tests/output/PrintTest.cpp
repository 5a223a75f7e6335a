// The print command through Qt's print dialog and PDF printer, the page read back with poppler and the
// real readers; and pictures loaded back at their true size.
#include "OutputTestSupport.h"
#include "barcode/Drawing.h"
#include "output/PictureFile.h"
#include "output/PrintCommand.h"
#include "output/SaveCommand.h"
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"

using namespace zebrix;
using namespace zebrix::test;

namespace {

constexpr double kMmPerInch = 25.4;

// The top-left 120 by 80 mm of the first page, in grey levels. Poppler smooths
// and shifts a picture it enlarges less than four times: readers get 300 dots
// per inch, measures are taken at 600, where the page is crisp.
QImage RenderPage(const QString& pdf, int dpi)
{
    const auto dots = [dpi](double mm) { return QString::number(static_cast<int>(mm / kMmPerInch * dpi)); };
    const QStringList arguments = {"-r", QString::number(dpi), "-x", "0", "-y", "0", "-W", dots(120), "-H", dots(80),
        "-png", "-singlefile", pdf, pdf + "-page"};
    return QProcess::execute("pdftoppm", arguments)
        ? QImage()
        : QImage(pdf + "-page.png").convertToFormat(QImage::Format_Grayscale8);
}

// Smallest rectangle holding every dark pixel.
QRect DarkArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                area |= QRect(x, y, 1, 1);
    return area;
}

// A white picture framed by a one-pixel black border, at this resolution.
QImage FramedPicture(int width, int height, int dotsPerMeter)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white), QPainter(&picture).drawRect(0, 0, width - 1, height - 1);
    picture.setDotsPerMeterX(dotsPerMeter), picture.setDotsPerMeterY(dotsPerMeter);
    return picture;
}

// Writes the picture and clears the bytes of its resolution (BMP: pixels per metre; JPEG: the JFIF unit).
bool WriteWithoutResolution(const QImage& picture, const QString& path, const char* format)
{
    QFile file(path);
    const int at = QByteArray(format) == "bmp" ? 38 : 13, size = at == 38 ? 8 : 1;
    return picture.save(path, format, 100) && file.open(QIODevice::ReadWrite) && file.seek(at)
        && file.write(QByteArray(size, '\0')) == size;
}

class PrintTest : public ::testing::Test {
protected:
    // Prints through the print dialog, as the window does.
    bool print(const QImage& picture)
    {
        QFile::remove(pdfPath);
        dialogs.pdfs.push_back(pdfPath);
        return ChoosePrinter(nullptr, printer) && PrintPicture(printer, picture);
    }
    QTemporaryDir folder;
    const QString pdfPath = folder.filePath("page.pdf");
    QPrinter printer{QPrinter::HighResolution};
    Dialogs dialogs;
};

} // namespace

// Saved pictures scan from the page, pixel for pixel, at their true size, 1 mm from the printable area's corner.
TEST_F(PrintTest, SavedPicturesArePrintedAtTheirTrueSizeAndScan)
{
    // The text saved (Code 128 keeps exact module widths only without wider spaces), or the file written; the
    // dots per inch it has on paper.
    const std::tuple<QString, Symbology, int, int, int, double> rows[]
        = {{"ZEBRIX-42", Symbology::Code39, 1, 1, 0, 96}, {"Hello, World", Symbology::Code128, 0, 1, 0, 96},
            {"0123456789", Symbology::Interleaved2of5, 1, 1, 0, 96}, {"JPEG 50", Symbology::Code128, 0, 4, 0, 96},
            {"code300.jpg", {}, 0, 0, 11811, 300}, {"bare.bmp", {}, 0, 0, 5000, 96}, {"bare.jpg", {}, 0, 0, 5000, 96}};
    const QMarginsF usual = printer.pageLayout().margins(QPageLayout::Millimeter);
    for (int n = 0; const auto& [name, symbology, widerSpaces, type, dotsPerMeter, dpi] : rows) {
        SCOPED_TRACE(name.toStdString());
        QImage loaded;
        // With wide margins, the printable area's corner, not the paper's.
        printer.setPageMargins(dotsPerMeter ? QMarginsF(12, 20, 15, 15) : usual, QPageLayout::Millimeter);
        if (dotsPerMeter) {
            const QString path = folder.filePath(name);
            const QImage framed = FramedPicture(300, 120, dotsPerMeter);
            const char* format = name.endsWith("bmp") ? "bmp" : "jpeg";
            ASSERT_TRUE(name.startsWith("bare") ? WriteWithoutResolution(framed, path, format)
                                                : framed.save(path, format, 100));
            loaded = LoadPicture(path);
        } else { // saved as the window saves it
            BarcodePicture surface(BarcodePicture::kDefaultWidth);
            const std::u16string text(reinterpret_cast<const char16_t*>(name.utf16()), name.size());
            surface.show(Encode(symbology, text, {widerSpaces, 1, 0}, surface.width()));
            SaveMemory memory;
            dialogs.files.push_back({folder.filePath(type == 1 ? "code.bmp" : "code.jpg"), type});
            const auto saved = SaveBarcode(nullptr, surface.image(), memory);
            ASSERT_TRUE(saved.has_value());
            loaded = saved->picture;
        }
        const QPointF corner
            = QPointF(printer.pageRect(QPrinter::DevicePixel).topLeft()) * kMmPerInch / printer.resolution();
        ASSERT_NEAR(corner.x(), dotsPerMeter ? 12 : usual.left(), 0.2);
        ASSERT_NEAR(corner.y(), dotsPerMeter ? 20 : usual.top(), 0.2);
        EXPECT_TRUE(print(loaded));
        const QImage saved = loaded.convertToFormat(QImage::Format_RGB32);
        if (!dotsPerMeter) {
            const QImage page = RenderPage(pdfPath, 300);
            EXPECT_EQ(ReadOne(Reader::Zbar, page), name.toStdString());
            EXPECT_EQ(ReadOne(Reader::ZXing, page), name.toStdString());
        }
        const QString embedded = folder.filePath(QString::number(++n));
        ASSERT_EQ(QProcess::execute("pdfimages", {"-png", pdfPath, embedded}), 0);
        EXPECT_EQ(QImage(embedded + "-000.png").convertToFormat(QImage::Format_RGB32), saved);
        EXPECT_FALSE(QFile::exists(embedded + "-001.png"));

        const QRect picture = DarkArea(saved), area = DarkArea(RenderPage(pdfPath, 600));
        const double mmPerPixel = kMmPerInch / dpi, mmPerDot = kMmPerInch / 600;
        EXPECT_NEAR(area.width() * mmPerDot / (picture.width() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.height() * mmPerDot / (picture.height() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.left() * mmPerDot - picture.left() * mmPerPixel - corner.x(), 1.0, 0.05);
        EXPECT_NEAR(area.top() * mmPerDot - picture.top() * mmPerPixel - corner.y(), 1.0, 0.05);
    }
    EXPECT_EQ(dialogs.shown, QStringList());
}

// A file missing or cut short gives nothing or a picture with a resolution. (A file without one is printed at 96
// dots per inch, on a 144 dpi screen too, where Qt would give it 144: SavedPicturesArePrintedAtTheirTrueSizeAndScan.)
TEST(PrintedPictureFile, AFileMissingOrCutShortGivesNothingOrAPictureWithAResolution)
{
    QTemporaryDir folder;
    if (const int dpi = qEnvironmentVariableIntValue("ZEBRIX_SCREEN_DPI")) {
        ASSERT_EQ(QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX(), qRound(dpi / 0.0254));
    }
    ASSERT_TRUE(FramedPicture(8, 4, 65536).save(folder.filePath("fine.bmp"))); // its third byte counts
    EXPECT_EQ(LoadPicture(folder.filePath("fine.bmp")).dotsPerMeterX(), 65536);
    EXPECT_TRUE(LoadPicture(folder.filePath("none.bmp")).isNull());
    QLoggingCategory::setFilterRules("qt.gui.imageio*=false");
    for (const char* format : {"bmp", "jpeg"}) {
        QByteArray whole;
        QBuffer buffer(&whole);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && FramedPicture(8, 4, 11811).save(&buffer, format));
        for (qsizetype n = 0; n < whole.size(); n += 1 + n / 8) { // a sample of the lengths
            ASSERT_TRUE(WriteAll(folder.filePath("cut"), whole.left(n)));
            const QImage loaded = LoadPicture(folder.filePath("cut"));
            EXPECT_TRUE(loaded.isNull() || loaded.dotsPerMeterX() > 0) << format << " cut at " << n;
        }
    }
    QLoggingCategory::setFilterRules(QString());
}
