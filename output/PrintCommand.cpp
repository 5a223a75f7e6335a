#include "PrintCommand.h"

#include "PictureFile.h"
#include "barcode/Look.h"
#include "output/files/FileOutput.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

namespace zebrix {

QSizeF NaturalSizeMm(const QImage& picture)
{
    const auto mmPerDot = [](int dotsPerMeter) { return 1000.0 / (dotsPerMeter > 0 ? dotsPerMeter : kDotsPerMetre); };
    return QSizeF(
        picture.width() * mmPerDot(picture.dotsPerMeterX()), picture.height() * mmPerDot(picture.dotsPerMeterY()));
}

bool ChoosePrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    // One page: no range to choose.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// The picture on the device's page; false when the painter could not work.
bool Paint(QPagedPaintDevice& device, const QImage& picture, int resolution)
{
    // Without full-page mode the painter's origin is the corner of the
    // printable area, and its unit the device's dot.
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Pixels stay sharp-edged blocks, and their colours exact: a barcode
    // must not be blurred nor compressed on its way to the paper.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const double dotsPerMm = resolution / 25.4;
    painter.drawImage(
        QRectF(QPointF(1.0, 1.0) * dotsPerMm, NaturalSizeMm(picture) * dotsPerMm), picture, QRectF(picture.rect()));
    return painter.end();
}

// A print into a file: the printer would write the PDF straight over the
// file, and not notice a full disk. So the same page is made in memory with
// the printer's settings, and replaces the file only once whole.
bool PrintIntoFile(QPrinter& printer, const QImage& picture)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(printer.pdfVersion());
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        writer.setResolution(printer.resolution());
        if (!writer.setPageLayout(printer.pageLayout()) || !Paint(writer, picture, printer.resolution()))
            return false;
    }
    return !pdf.isEmpty()
        && WriteFileAtomically(QFile::encodeName(printer.outputFileName()).toStdString(),
            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())))
               .written();
}

} // namespace

bool PrintPicture(QPrinter& printer, const QImage& picture)
{
    // Nothing saved yet, or reset: a failure, and no page goes out.
    if (picture.isNull() || !printer.isValid() || printer.printerState() == QPrinter::Active)
        return false;
    if (!printer.outputFileName().isEmpty())
        return PrintIntoFile(printer, picture);
    return Paint(printer, picture, printer.resolution()) && printer.printerState() != QPrinter::Error;
}

} // namespace zebrix
