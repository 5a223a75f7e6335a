#include "Printer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

namespace zebrix {

namespace {

constexpr double kMmPerInch = 25.4;

} // namespace

QSizeF NaturalSizeMm(const QImage& picture)
{
    const auto mmPerDot
        = [](int dotsPerMeter) { return 1000.0 / (dotsPerMeter > 0 ? dotsPerMeter : kDefaultDotsPerMeter); };
    return QSizeF(
        picture.width() * mmPerDot(picture.dotsPerMeterX()), picture.height() * mmPerDot(picture.dotsPerMeterY()));
}

QtPrinterDocument::QtPrinterDocument(QPrinter& printer)
    : printer_(printer)
{
}

bool QtPrinterDocument::begin()
{
    page_.clear();
    begun_ = printer_.isValid() && printer_.printerState() != QPrinter::Active;
    return begun_;
}

bool QtPrinterDocument::drawPicture(QPointF topLeftMm, const QImage& picture)
{
    if (!begun_ || picture.isNull() || !std::isfinite(topLeftMm.x()) || !std::isfinite(topLeftMm.y()))
        return false;
    page_.push_back({topLeftMm, picture});
    return true;
}

bool QtPrinterDocument::end()
{
    if (!begun_)
        return false;
    begun_ = false;
    const std::vector<Placed> page = std::move(page_);
    page_.clear();

    // Without full-page mode the painter's origin is the corner of the
    // printable area, and its unit the printer's dot.
    QPainter painter;
    if (!painter.begin(&printer_))
        return false;
    // Pixels stay sharp-edged blocks, and their colours exact: a barcode
    // must not be blurred nor compressed on its way to the paper.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const double dotsPerMm = printer_.resolution() / kMmPerInch;
    for (const Placed& placed : page) {
        const QRectF target(placed.topLeftMm * dotsPerMm, NaturalSizeMm(placed.picture) * dotsPerMm);
        painter.drawImage(target, placed.picture, QRectF(placed.picture.rect()));
    }
    return painter.end() && printer_.printerState() != QPrinter::Error;
}

void QtPrinterDocument::abort()
{
    begun_ = false;
    page_.clear();
}

QtPrintService::QtPrintService() = default;
QtPrintService::~QtPrintService() = default;

QPrinter& QtPrintService::printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(QStringLiteral("Zebrix"));
    }
    return *printer_;
}

std::unique_ptr<PrinterDocument> QtPrintService::choosePrinter(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    // One page: no range to choose.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return std::make_unique<QtPrinterDocument>(printer());
}

} // namespace zebrix
