#pragma once
// Printing behind a small seam: the print dialog chooses a printer, and a
// document on that printer takes one page: begin it, place pictures at their
// natural size at positions in millimetres, then end it (the page goes to the
// printer) or abort it (nothing goes out).
#include <QImage>
#include <QPointF>
#include <QSizeF>

#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace zebrix {

// The resolution of a picture that records none: 96 dots per inch.
inline constexpr int kDefaultDotsPerMeter = 3780;

// Size in millimetres of a picture shown at its own resolution (its dots per
// metre; 96 dots per inch where it has none).
QSizeF NaturalSizeMm(const QImage& picture);

class PrinterDocument {
public:
    virtual ~PrinterDocument() = default;

    // Starts the document; nothing visible is printed by it.
    virtual bool begin() = 0;
    // Places the picture with its top-left corner at `topLeftMm`, in
    // millimetres from the corner of the printable area, at its natural size
    // (NaturalSizeMm), without smoothing. False when it cannot be drawn (no
    // picture, no document begun, a position that is no number).
    virtual bool drawPicture(QPointF topLeftMm, const QImage& picture) = 0;
    // Ends the document: the page goes to the printer. False when it could
    // not be sent.
    virtual bool end() = 0;
    // Abandons the document: nothing of it is printed.
    virtual void abort() = 0;
};

class PrintService {
public:
    virtual ~PrintService() = default;
    // Shows the print dialog, modal over `parent`. The document on the
    // printer chosen, or null when the user cancels or the dialog fails.
    virtual std::unique_ptr<PrinterDocument> choosePrinter(QWidget* parent) = 0;
};

// A document on a Qt printer (a system printer, or a PDF file). Qt cannot take
// back what has been painted on a printer, so the page is only composed until
// the document ends and is painted then: an aborted document, or one that is
// never ended, leaves nothing behind.
class QtPrinterDocument : public PrinterDocument {
public:
    // The printer is not owned and must outlive the document.
    explicit QtPrinterDocument(QPrinter& printer);

    bool begin() override;
    bool drawPicture(QPointF topLeftMm, const QImage& picture) override;
    bool end() override;
    void abort() override;

private:
    struct Placed {
        QPointF topLeftMm;
        QImage picture;
    };
    QPrinter& printer_;
    bool begun_ = false;
    std::vector<Placed> page_;
};

// The real thing: Qt's print dialog with the system's printers and printing
// to a PDF file. The printer chosen last is proposed again.
class QtPrintService : public PrintService {
public:
    QtPrintService();
    ~QtPrintService() override;

    std::unique_ptr<PrinterDocument> choosePrinter(QWidget* parent) override;

    // The printer the dialog sets up, made at first use.
    QPrinter& printer();

private:
    std::unique_ptr<QPrinter> printer_;
};

} // namespace zebrix
