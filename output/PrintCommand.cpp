#include "PrintCommand.h"

#include "PictureFile.h"
#include "barcode/Look.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace zebrix {

QSizeF NaturalSizeMm(const QImage& picture)
{
    const auto mmPerDot
        = [](int dotsPerMeter) { return 1000.0 / (dotsPerMeter > 0 ? dotsPerMeter : kDotsPerMetre); };
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

bool PrintPicture(QPrinter& printer, const QImage& picture)
{
    // Nothing saved yet, or reset: a failure, and no page goes out.
    if (picture.isNull() || !printer.isValid() || printer.printerState() == QPrinter::Active)
        return false;
    // Without full-page mode the painter's origin is the corner of the
    // printable area, and its unit the printer's dot.
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Pixels stay sharp-edged blocks, and their colours exact: a barcode
    // must not be blurred nor compressed on its way to the paper.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const double dotsPerMm = printer.resolution() / 25.4;
    painter.drawImage(
        QRectF(QPointF(1.0, 1.0) * dotsPerMm, NaturalSizeMm(picture) * dotsPerMm), picture, QRectF(picture.rect()));
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace zebrix
