// The print button of the main window: against a scripted print dialog and
// printer, and through Qt's PDF printer, the page read back with poppler and
// the real readers.
#include "Commands.h"
#include "output/PictureFile.h"
#include "support/FakeInputBox.h"
#include "support/FakePrinter.h"
#include "support/FakeSaveFileDialog.h"
#include "window/WindowFixture.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
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
        auto* button = form->findChild<QPushButton*>("Command2");
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    // Types the text into a clean surface and saves it with the real save
    // command, as BMP (type 1) or JPEG at ratio 50 (type 4).
    void Save(const QString& text, int type = 1)
    {
        form->reset();
        form->textField()->setText(text);
        saveDialog.answers.push_back({{folder.filePath(type == 1 ? "code.bmp" : "code.jpg"), type}});
        SaveCommandFor(SaveSeams{&saveDialog, &input, &messages, {ZEBRIX_CONVERTER_DIR}, {}})(*form);
        EXPECT_TRUE(form->windowTitle().startsWith("Ruvovez : "));
    }

    void ExpectOnePrinterError()
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        const auto& box = messages.shown[0];
        EXPECT_TRUE(box.text == "Erreur sur l'imprimante" && box.title == "Erreur" && box.icon == MessageIcon::Critical
            && box.buttons == MessageButtons::Ok)
            << box.text.toStdString();
        messages.shown.clear();
    }

    QTemporaryDir folder;
    FakeMessageBox messages;
    FakeClipboard clipboard;
    FakePrintService printers;
    FakeSaveFileDialog saveDialog;
    FakeInputBox input;
    std::unique_ptr<MainWindow> form;
};

} // namespace

// Cancel, failures at each step and success: the log, one message, the pointer, the page.
TEST_F(PrintTest, EachOutcomeIsToldOnceAndThePointerRestored)
{
    using Step = FakePrintService::Step;
    const struct {
        const char* name;
        bool saved, cancel;
        Step failAt;
        bool throws;
        Log log;
    } rows[] = {{"cancel", true, true, Step::None, false, {}},
        {"cancel with nothing saved", false, true, Step::None, false, {}},
        {"nothing saved", false, false, Step::None, false, {"begin", "abort"}},
        {"begin fails", true, false, Step::Begin, false, {"begin", "abort"}},
        {"draw fails", true, false, Step::DrawPicture, false, {"begin", "draw", "abort"}},
        {"end fails", true, false, Step::End, false, {"begin", "draw", "end", "abort"}},
        {"begin throws", true, false, Step::Begin, true, {"begin", "abort"}},
        {"draw throws", true, false, Step::DrawPicture, true, {"begin", "draw", "abort"}},
        {"end throws", true, false, Step::End, true, {"begin", "draw", "end", "abort"}},
        {"printed", true, false, Step::None, false, {"begin", "draw", "end"}}};
    printers.onStep = [this](const std::string& step) {
        if (step != "abort" && form->cursor().shape() != Qt::BusyCursor)
            ADD_FAILURE() << "the pointer is not busy at " << step;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        row.saved ? Save("ZEBRIX-42") : (form->reset(), form->textField()->setText("NOT SAVED"));
        row.cancel ? form->setCursor(Qt::CrossCursor) : form->unsetCursor();
        const QString caption = form->windowTitle();
        std::tie(printers.cancel, printers.failAt, printers.throws) = std::tie(row.cancel, row.failAt, row.throws);
        printers.log.clear();
        printers.drawn.clear();
        Print();
        EXPECT_EQ(printers.dialogParents.back(), form.get());
        EXPECT_EQ(printers.log, row.log);
        if (!row.log.empty() && row.log.back() == "abort")
            ExpectOnePrinterError();
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(form->cursor().shape(), row.cancel ? Qt::CrossCursor : Qt::ArrowCursor);
        EXPECT_EQ(form->windowTitle(), caption);
        EXPECT_EQ(form->barcodeView()->hasBackgroundPicture(), row.saved);
    }
    ASSERT_EQ(printers.drawn.size(), 1u);
    EXPECT_EQ(printers.drawn[0].topLeftMm, QPointF(1.0, 1.0));
    EXPECT_EQ(printers.drawn[0].picture, LoadPicture(folder.filePath("code.bmp")));
    EXPECT_EQ(ReadZbar(printers.drawn[0].picture), "ZEBRIX-42");
}

namespace {

bool RunTool(const char* program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (output)
        *output = process.readAllStandardOutput();
    return done && process.exitCode() == 0;
}

// The top-left 120 by 80 mm of the first page, in grey levels. Poppler smooths
// and shifts a picture it enlarges less than four times: readers get 300 dots
// per inch, measures are taken at 600, where the page is crisp.
QImage RenderPage(const QString& pdf, int dpi)
{
    const auto dots = [dpi](double mm) { return QString::number(static_cast<int>(mm / kMmPerInch * dpi)); };
    if (!RunTool(ZEBRIX_PDFTOPPM,
            {"-r", QString::number(dpi), "-x", "0", "-y", "0", "-W", dots(120), "-H", dots(80), "-png", "-singlefile",
                pdf, pdf + "-page"}))
        return {};
    return QImage(pdf + "-page.png").convertToFormat(QImage::Format_Grayscale8);
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
    picture.fill(Qt::white);
    QPainter(&picture).drawRect(0, 0, width - 1, height - 1);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    return picture;
}

// Writes the picture and clears the bytes that record its resolution
// (BMP: pixels per metre; JPEG: the JFIF density unit, aspect only).
bool WriteWithoutResolution(const QImage& picture, const QString& path, const char* format)
{
    QFile file(path);
    const int at = QByteArray(format) == "bmp" ? 38 : 13, size = at == 38 ? 8 : 1;
    return picture.save(path, format, 100) && file.open(QIODevice::ReadWrite) && file.seek(at)
        && file.write(QByteArray(size, '\0')) == size;
}

class PdfPage : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfPath);
        printers.realDocument = [this] { return std::make_unique<QtPrinterDocument>(pdf); };
    }

    const QString pdfPath = folder.filePath("page.pdf");
    QPrinter pdf{QPrinter::HighResolution};
};

} // namespace

// Saved pictures scan from the page, pixel for pixel, at their true size, 1 mm in.
TEST_F(PdfPage, SavedPicturesArePrintedAtTheirTrueSizeAndScan)
{
    // The text saved (Code 128 keeps exact module widths only without wider
    // spaces), or the file written; the dots per inch it has on paper.
    const struct {
        QString name;
        Symbology symbology;
        bool widerSpaces;
        int type;
        int dotsPerMeter;
        double dpi;
    } rows[] = {{"ZEBRIX-42", Symbology::Code39, true, 1, 0, 96}, {"Hello, World", Symbology::Code128, false, 1, 0, 96},
        {"0123456789", Symbology::Interleaved2of5, true, 1, 0, 96}, {"JPEG 50", Symbology::Code128, false, 4, 0, 96},
        {"code300.jpg", {}, false, {}, 11811, 300}, {"bare.bmp", {}, false, {}, 5000, 96},
        {"bare.jpg", {}, false, {}, 5000, 96}};
    for (int n = 0; const auto& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        if (row.dotsPerMeter) { // with wide margins: the printable area's corner, not the paper's
            pdf.setPageMargins(QMarginsF(12, 20, 15, 15), QPageLayout::Millimeter);
            const QString path = folder.filePath(row.name);
            const QImage framed = FramedPicture(300, 120, row.dotsPerMeter);
            const char* format = row.name.endsWith("bmp") ? "bmp" : "jpeg";
            ASSERT_TRUE(row.name.startsWith("bare") ? WriteWithoutResolution(framed, path, format)
                                                    : framed.save(path, format, 100));
            form->barcodeView()->setBackgroundPicture(LoadPicture(path));
        } else {
            form->symbologyButton(row.symbology)->click();
            form->optionBox(OptionBox::WidenSpaces)->setChecked(row.widerSpaces);
            Save(row.name, row.type);
        }
        const QPointF corner = QPointF(pdf.pageRect(QPrinter::DevicePixel).topLeft()) * kMmPerInch / pdf.resolution();
        ASSERT_TRUE(!row.dotsPerMeter || (std::abs(corner.x() - 12) < 0.2 && std::abs(corner.y() - 20) < 0.2));
        const QImage saved = form->barcodeView()->backgroundPicture().convertToFormat(QImage::Format_RGB32);
        QFile::remove(pdfPath);
        Print();
        EXPECT_TRUE(messages.shown.empty());
        QByteArray info;
        EXPECT_TRUE(
            RunTool(ZEBRIX_PDFINFO, {pdfPath}, &info) && QString(info).contains(QRegularExpression("\nPages: +1\n")));
        if (!row.dotsPerMeter) {
            const QImage page = RenderPage(pdfPath, 300);
            EXPECT_EQ(ReadZbar(page), row.name.toStdString());
            EXPECT_EQ(ReadZXing(page), row.name.toStdString());
        }
        const QString embedded = folder.filePath(QString::number(++n));
        ASSERT_TRUE(RunTool(ZEBRIX_PDFIMAGES, {"-png", pdfPath, embedded}));
        EXPECT_EQ(QImage(embedded + "-000.png").convertToFormat(QImage::Format_RGB32), saved);
        EXPECT_FALSE(QFile::exists(embedded + "-001.png"));

        const QRect picture = DarkArea(saved), area = DarkArea(RenderPage(pdfPath, 600));
        const double mmPerPixel = kMmPerInch / row.dpi, mmPerDot = kMmPerInch / 600;
        EXPECT_NEAR(area.width() * mmPerDot / (picture.width() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.height() * mmPerDot / (picture.height() * mmPerPixel), 1.0, 0.01);
        EXPECT_NEAR(area.left() * mmPerDot - picture.left() * mmPerPixel - corner.x(), 1.0, 0.05);
        EXPECT_NEAR(area.top() * mmPerDot - picture.top() * mmPerPixel - corner.y(), 1.0, 0.05);
    }
}

// A printer that fails, or a document abandoned or never ended, leaves no file.
TEST_F(PdfPage, ARealPrinterFailureLeavesNoFile)
{
    Save("NO FILE");
    pdf.setOutputFileName(folder.filePath("missing/page.pdf"));
    Print();
    ExpectOnePrinterError();
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(QFile::exists(folder.filePath("missing/page.pdf")));
    pdf.setOutputFileName(pdfPath);
    const QImage picture = form->barcodeView()->backgroundPicture();
    { // an abandoned document, and one never ended
        QtPrinterDocument document(pdf), forgotten(pdf);
        ASSERT_TRUE(document.begin() && document.drawPicture({1, 1}, picture));
        document.abort();
        EXPECT_FALSE(document.end());
        ASSERT_TRUE(forgotten.begin() && forgotten.drawPicture({1, 1}, picture));
    }
    EXPECT_FALSE(QFile::exists(pdfPath));
}

// Qt gives a file without a resolution the screen's, LoadPicture 96 dots per inch;
// a file missing or cut short gives nothing or a picture with a resolution.
TEST(PictureFile, APictureWithoutResolutionHas96DotsPerInch)
{
    QTemporaryDir folder;
    const int screenDpm = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    if (const int dpi = qEnvironmentVariableIntValue("ZEBRIX_SCREEN_DPI")) {
        ASSERT_EQ(screenDpm, qRound(dpi / 0.0254));
    }
    ASSERT_TRUE(WriteWithoutResolution(FramedPicture(8, 4, 11811), folder.filePath("bare.bmp"), "bmp"));
    EXPECT_EQ(QImageReader(folder.filePath("bare.bmp")).read().dotsPerMeterX(), screenDpm);
    EXPECT_EQ(LoadPicture(folder.filePath("bare.bmp")).dotsPerMeterX(), kDefaultDotsPerMeter);
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
            const QImage loaded = LoadPicture(cut.fileName());
            EXPECT_TRUE(loaded.isNull() || loaded.dotsPerMeterX() > 0) << format << " cut at " << n;
        }
    }
    QLoggingCategory::setFilterRules(QString());
}
