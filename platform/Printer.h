#pragma once
// Printing behind a small seam: the print dialog chooses a printer, and a
// document on that printer takes one page: begin it, choose the unit of the
// coordinates, place pictures at their natural size, then end it (the page
// goes to the printer) or abort it (nothing goes out).
#include <QImage>
#include <QPointF>
#include <QSizeF>

#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace zebrix {

// Units of the printer's coordinates, numbered as the program's scale modes.
inline constexpr int kScaleTwips = 1;
inline constexpr int kScalePoints = 2;
inline constexpr int kScalePixels = 3; // the printer's own dots
inline constexpr int kScaleInches = 5;
inline constexpr int kScaleMillimetres = 6;
inline constexpr int kScaleCentimetres = 7;

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
    // The unit of the coordinates that follow, as a scale mode (kScale...);
    // twips until set. False for a mode the printer cannot measure in.
    virtual bool setScaleMode(int mode) = 0;
    // Places the picture with its top-left corner at (x, y), measured from
    // the corner of the printable area, at its natural size (NaturalSizeMm),
    // without smoothing. False when it cannot be drawn (no picture, no
    // document begun).
    virtual bool drawPicture(float x, float y, const QImage& picture) = 0;
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
    bool setScaleMode(int mode) override;
    bool drawPicture(float x, float y, const QImage& picture) override;
    bool end() override;
    void abort() override;

private:
    struct Placed {
        QPointF topLeftMm;
        QImage picture;
    };
    QPrinter& printer_;
    bool begun_ = false;
    double mmPerUnit_;
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
