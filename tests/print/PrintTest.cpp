// The print button of the main window: against a scripted print dialog and
// printer (what reaches the page, the pointer, the printer's failures), and
// through Qt's PDF printer, the page read back with poppler and real readers.
#include "SaveForPrint.h"
#include "support/FakePrinter.h"
#include "window/WindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

using namespace zebrix;
using namespace zebrix::test;

namespace {

constexpr double kMmPerInch = 25.4;
using Log = std::vector<std::string>;

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        MainWindowServices services;
        services.messageBox = &messages;
        services.clipboard = &clipboard;
        services.print = PrintCommand(printers);
        form = std::make_unique<MainWindow>(std::move(services));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // A click on "Imprimer le Code Barre", as a user does it.
    void Print()
    {
        auto* button = form->findChild<QPushButton*>(QStringLiteral("Command2"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // Types the text into a clean surface and saves it; the file's path.
    QString Save(const QString& text, const QString& name = "code.bmp", SaveFormat format = SaveFormat::Bmp)
    {
        form->reset();
        form->textField()->setText(text);
        const QString path = folder.filePath(name);
        EXPECT_TRUE(SaveLikeTheSaveCommand(*form, path, format));
        return path;
    }

    bool NormalPointer() const { return form->cursor().shape() == Qt::ArrowCursor; }

    void ExpectOnePrinterError()
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Erreur sur l'imprimante");
        EXPECT_EQ(messages.shown[0].title, "Erreur");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
        messages.shown.clear();
    }

    QTemporaryDir folder;
    FakeMessageBox messages;
    FakeClipboard clipboard;
    FakePrintService printers;
    std::unique_ptr<MainWindow> form;
};

// The scripted printer checks that the pointer is busy at every step.
class Printing : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        printers.onStep = [this](const std::string& step) {
            if (step != "abort" && form->cursor().shape() != Qt::BusyCursor)
                ADD_FAILURE() << "the pointer is not busy at " << step;
        };
    }
};

} // namespace

// Cancel prints nothing, says nothing and leaves the pointer as it was.
TEST_F(Printing, CancelPrintsNothingSaysNothingAndLeavesThePointerAlone)
{
    Save("CANCEL");
    form->setCursor(Qt::CrossCursor);
    printers.cancel = true;
    Print();
    EXPECT_EQ(printers.dialogParents, std::vector<QWidget*>{form.get()});
    EXPECT_TRUE(printers.log.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form->cursor().shape(), Qt::CrossCursor);
    form->unsetCursor();
    form->reset(); // also with nothing to print
    Print();
    EXPECT_TRUE(printers.log.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(NormalPointer());
}

// The saved picture, one page, 1 mm from the corner; the window unchanged.
TEST_F(Printing, TheSavedPictureGoesOnOnePageAtOneMillimetreUnderTheBusyPointer)
{
    const QString path = Save("ZEBRIX-42");
    const QString caption = form->windowTitle();
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "draw", "end"}));
    ASSERT_EQ(printers.drawn.size(), 1u);
    EXPECT_EQ(printers.drawn[0].topLeftMm, QPointF(1.0, 1.0));
    EXPECT_EQ(printers.drawn[0].picture, LoadPicture(path));
    EXPECT_EQ(ReadZbar(printers.drawn[0].picture), "ZEBRIX-42");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(NormalPointer());
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_TRUE(form->barcodeView()->hasBackgroundPicture());
}

// A failure or exception at any step: one message, the document abandoned,
// and the next print works.
TEST_F(Printing, AFailureAtAnyStepIsToldOnceAndTheDocumentAbandoned)
{
    Save("FAIL");
    using Step = FakePrintService::Step;
    const struct {
        Step step;
        Log log;
    } rows[] = {{Step::Begin, {"begin", "abort"}},
                {Step::DrawPicture, {"begin", "draw", "abort"}},
                {Step::End, {"begin", "draw", "end", "abort"}},
                {Step::None, {"begin", "draw", "end"}}};
    for (bool throws : {false, true})
        for (const auto& row : rows) {
            SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(row.step) << (throws ? " throws" : ""));
            printers.failAt = row.step;
            printers.throws = throws;
            printers.log.clear();
            Print();
            EXPECT_EQ(printers.log, row.log);
            if (row.step != Step::None)
                ExpectOnePrinterError();
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_TRUE(NormalPointer());
        }
}

// Without a saved picture (never saved, or reset since) nothing prints: the
// barcode drawn is not what prints.
TEST_F(Printing, WithoutABackgroundPictureNothingIsPrinted)
{
    form->textField()->setText("NOT SAVED");
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "abort"}));
    ExpectOnePrinterError();
    EXPECT_TRUE(NormalPointer());
    Save("SAVED");
    form->reset();
    printers.log.clear();
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "abort"}));
    ExpectOnePrinterError();
    EXPECT_TRUE(printers.drawn.empty());
}

namespace {

bool RunTool(const char* program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(QString::fromUtf8(program), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The top-left 120 by 80 mm of the first page, in grey levels. Poppler smooths
// and shifts a picture it enlarges less than four times: readers get 300 dots
// per inch, measures are taken at 600, where the page is crisp.
QImage RenderPage(const QString& pdf, int dpi = 300)
{
    const auto dots = [dpi](double mm) { return QString::number(static_cast<int>(mm / kMmPerInch * dpi)); };
    if (!RunTool(ZEBRIX_PDFTOPPM, {"-r", QString::number(dpi), "-x", "0", "-y", "0", "-W", dots(120), "-H", dots(80),
                               "-png", "-singlefile", pdf, pdf + "-page"}))
        return {};
    return QImage(pdf + "-page.png").convertToFormat(QImage::Format_Grayscale8);
}

int PageCount(const QString& pdf)
{
    QByteArray info;
    if (RunTool(ZEBRIX_PDFINFO, {pdf}, &info))
        for (const QByteArray& line : info.split('\n'))
            if (line.startsWith("Pages:"))
                return line.mid(6).trimmed().toInt();
    return -1;
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
    picture.fill(Qt::black);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    for (int y = 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x)
            picture.setPixel(x, y, qRgb(255, 255, 255));
    return picture;
}

// Writes the picture and clears the bytes that record its resolution
// (BMP: pixels per metre; JPEG: the JFIF density unit, aspect only).
bool WriteWithoutResolution(const QImage& picture, const QString& path, const char* format)
{
    QFile file(path);
    const bool bmp = QByteArray(format) == "bmp";
    return picture.save(path, format, 100) && file.open(QIODevice::ReadWrite) && file.seek(bmp ? 38 : 13)
        && file.write(QByteArray(bmp ? 8 : 1, '\0')) == (bmp ? 8 : 1);
}

class PdfPage : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        pdfPath = folder.filePath("page.pdf");
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        printers.realDocument = [this] { return std::make_unique<QtPrinterDocument>(pdf); };
    }

    // Corner of the printable area on the page, in millimetres.
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

} // namespace

// Saved barcodes scan from the page; every picture is printed at its true
// size, from its file's resolution (96 dots per inch when it records none),
// 1 mm from the corner of the printable area.
TEST_F(PdfPage, SavedPicturesArePrintedAtTheirTrueSizeAndScan)
{
    const struct {
        QString name; // the text saved, or the file written
        Symbology symbology;
        bool widerSpaces; // Code 128 keeps exact module widths only without
        int dotsPerMeter;
        double dpi; // on paper
    } rows[] = {{"ZEBRIX-42", Symbology::Code39, true, 0, 96}, {"Hello, World", Symbology::Code128, false, 0, 96},
                {"0123456789", Symbology::Interleaved2of5, true, 0, 96},
                {"code300.jpg", {}, false, 11811, 300}, {"bare.bmp", {}, false, 5000, 96}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        if (row.dotsPerMeter) { // with wide margins: the printable area's corner, not the paper's
            pdf.setPageMargins(QMarginsF(12, 20, 15, 15), QPageLayout::Millimeter);
            const QString path = folder.filePath(row.name);
            const QImage framed = FramedPicture(300, 120, row.dotsPerMeter);
            ASSERT_TRUE(row.name.startsWith("bare") ? WriteWithoutResolution(framed, path, "bmp") : framed.save(path, "jpeg", 100));
            form->barcodeView()->setBackgroundPicture(LoadPicture(path));
        } else {
            form->symbologyButton(row.symbology)->click();
            form->optionBox(OptionBox::WidenSpaces)->setChecked(row.widerSpaces);
            Save(row.name);
        }
        const QPointF corner = PrintableCorner();
        ASSERT_TRUE(!row.dotsPerMeter || (std::abs(corner.x() - 12) < 0.2 && std::abs(corner.y() - 20) < 0.2));
        const QRect picture = DarkArea(form->barcodeView()->backgroundPicture());
        const QImage page = PrintedPage();
        if (!row.dotsPerMeter) {
            EXPECT_EQ(ReadZbar(page), row.name.toStdString());
            EXPECT_EQ(ReadZXing(page), row.name.toStdString());
        }
        const QRect area = DarkArea(RenderPage(pdfPath, 600));
        const double mmPerPixel = kMmPerInch / row.dpi, mmPerDot = kMmPerInch / 600;
        EXPECT_NEAR(area.width() * mmPerDot / (picture.width() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.height() * mmPerDot / (picture.height() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.left() * mmPerDot - picture.left() * mmPerPixel - corner.x(), 1.0, 0.05);
        EXPECT_NEAR(area.top() * mmPerDot - picture.top() * mmPerPixel - corner.y(), 1.0, 0.05);
    }
}

// A picture file without a resolution has 96 dots per inch, not the screen's
// as Qt gives it (run again on a 144 dpi screen); a recorded one stays; a file
// missing or cut short gives nothing or a picture with a resolution.
TEST(PictureFile, APictureWithoutResolutionHas96DotsPerInch)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const int screenDpm = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    if (const int dpi = qEnvironmentVariableIntValue("ZEBRIX_SCREEN_DPI")) {
        ASSERT_EQ(screenDpm, qRound(dpi / 0.0254));
    }
    for (const char* format : {"bmp", "jpeg"}) {
        SCOPED_TRACE(format);
        const QString path = folder.filePath(format);
        ASSERT_TRUE(WriteWithoutResolution(FramedPicture(8, 4, 11811), path, format));
        EXPECT_EQ(QImageReader(path).read().dotsPerMeterX(), screenDpm);
        const QImage loaded = LoadPicture(path);
        ASSERT_FALSE(loaded.isNull());
        EXPECT_EQ(loaded.dotsPerMeterX(), kDefaultDotsPerMeter);
        EXPECT_EQ(loaded.dotsPerMeterY(), kDefaultDotsPerMeter);
    }
    const QString path = folder.filePath("300.jpg");
    ASSERT_TRUE(FramedPicture(8, 4, 11811).save(path, "jpeg"));
    EXPECT_EQ(LoadPicture(path).dotsPerMeterX(), 11811);
    EXPECT_TRUE(LoadPicture(folder.filePath("none.bmp")).isNull());

    QLoggingCategory::setFilterRules("qt.gui.imageio*=false");
    for (const char* format : {"bmp", "jpeg"}) {
        QByteArray whole;
        QBuffer buffer(&whole);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && FramedPicture(8, 4, 11811).save(&buffer, format));
        for (qsizetype n = 0; n < whole.size(); n += 1 + n / 8) { // a sample of the lengths
            QFile cut(folder.filePath("cut"));
            ASSERT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate) && cut.write(whole.left(n)) == n);
            cut.close();
            const QImage loaded = LoadPicture(folder.filePath("cut"));
            EXPECT_TRUE(loaded.isNull() || loaded.dotsPerMeterX() > 0) << format << " cut at " << n;
        }
    }
    QLoggingCategory::setFilterRules(QString());
}

// A JPEG saved at ratio 50 is on the page pixel for pixel as loaded back, its
// grey fringes included, nothing smoothed or recompressed.
TEST_F(PdfPage, AJpegSavedAtRatio50IsPrintedAsLoadedBack)
{
    form->symbologyButton(Symbology::Code128)->click();
    form->optionBox(OptionBox::WidenSpaces)->setChecked(false);
    const QString path = Save("JPEG 50", "code.jpg", SaveFormat::Jpeg50);
    const QImage drawn = form->barcodeView()->image();
    const QImage page = PrintedPage();
    EXPECT_EQ(ReadZbar(page), "JPEG 50");
    EXPECT_EQ(ReadZXing(page), "JPEG 50");
    ASSERT_TRUE(RunTool(ZEBRIX_PDFIMAGES, {"-png", pdfPath, folder.filePath("embedded")}));
    EXPECT_EQ(QDir(folder.path()).entryList({"embedded-*.png"}), QStringList{"embedded-000.png"});
    const QImage loaded = LoadPicture(path).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(QImage(folder.filePath("embedded-000.png")).convertToFormat(QImage::Format_RGB32), loaded);
    int grey = 0;
    for (int y = 0; y < loaded.height(); ++y)
        for (int x = 0; x < loaded.width(); ++x)
            grey += qGray(loaded.pixel(x, y)) > 16 && qGray(loaded.pixel(x, y)) < 240;
    EXPECT_GT(grey, 100);
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32), loaded);
}

// A printer that fails, or a document abandoned or never ended, leaves no file.
TEST_F(PdfPage, ARealPrinterFailureLeavesNoFile)
{
    Save("NO FILE");
    pdf.setOutputFileName(folder.filePath("missing/page.pdf"));
    Print();
    ExpectOnePrinterError();
    EXPECT_TRUE(NormalPointer());
    EXPECT_FALSE(QFile::exists(folder.filePath("missing/page.pdf")));
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
