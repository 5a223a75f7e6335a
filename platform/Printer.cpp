#include "Printer.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>

namespace zebrix {

namespace {

constexpr double kMmPerInch = 25.4;

// Millimetres per unit of a scale mode, or 0 for a mode that is no length.
double MillimetresPerUnit(int mode, const QPrinter& printer)
{
    switch (mode) {
    case kScaleTwips: return kMmPerInch / 1440.0;
    case kScalePoints: return kMmPerInch / 72.0;
    case kScalePixels: return printer.resolution() > 0 ? kMmPerInch / printer.resolution() : 0.0;
    case kScaleInches: return kMmPerInch;
    case kScaleMillimetres: return 1.0;
    case kScaleCentimetres: return 10.0;
    default: return 0.0; // user-defined scales, characters
    }
}

} // namespace

QSizeF NaturalSizeMm(const QImage& picture)
{
    const auto mmPerDot = [](int dotsPerMeter) {
        return 1000.0 / (dotsPerMeter > 0 ? dotsPerMeter : kDefaultDotsPerMeter);
    };
    return QSizeF(picture.width() * mmPerDot(picture.dotsPerMeterX()),
                  picture.height() * mmPerDot(picture.dotsPerMeterY()));
}

QtPrinterDocument::QtPrinterDocument(QPrinter& printer)
    : printer_(printer)
    , mmPerUnit_(MillimetresPerUnit(kScaleTwips, printer))
{
}

bool QtPrinterDocument::begin()
{
    page_.clear();
    mmPerUnit_ = MillimetresPerUnit(kScaleTwips, printer_);
    begun_ = printer_.isValid() && printer_.printerState() != QPrinter::Active;
    return begun_;
}

bool QtPrinterDocument::setScaleMode(int mode)
{
    const double mm = MillimetresPerUnit(mode, printer_);
    if (!begun_ || mm <= 0.0)
        return false;
    mmPerUnit_ = mm;
    return true;
}

bool QtPrinterDocument::drawPicture(float x, float y, const QImage& picture)
{
    if (!begun_ || picture.isNull() || !std::isfinite(x) || !std::isfinite(y))
        return false;
    page_.push_back({QPointF(x * mmPerUnit_, y * mmPerUnit_), picture});
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
