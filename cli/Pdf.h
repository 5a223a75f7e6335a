#pragma once
#include "Layout.h"
#include "PdfModule.h"
#include "Produce.h"
#include "output/files/FileOutput.h"
#include "output/files/ImageFiles.h"

#include <memory>
#include <string>
#include <vector>

namespace zebrix::cli {

// A label's size on paper, in millimetres.
struct PaperLook {
    double module = 0.26; // one pixel of the drawing: one narrow bar
    double height = 0; // the bars; 0: the drawing's, scaled
};

// A laid-out drawing as marks on paper, in millimetres from the top-left of
// its box, which holds the quiet zones, the bars and the text under them.
struct LabelMarks {
    struct Box {
        double x, y, width, height;
    };
    std::vector<Box> bars; // each run of black columns as one rectangle
    std::string text; // printable ASCII, empty when the label is not shown
    double textX = 0; // its centre: the bars'
    double baseline = 0;
    double fontSize = 0; // the em, in millimetres
    double width = 0, height = 0; // the box
};

// The PDF writer, loaded the first time one is made; nothing and why when
// the module cannot be loaded. Pages are in millimetres, y downwards.
class PdfDocument {
public:
    static std::unique_ptr<PdfDocument> Create(std::string& why);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // The label's marks: the drawing scaled, its text in Helvetica centred under the bars.
    LabelMarks Marks(const Layout& layout, const PaperLook& look) const;
    bool page(double width, double height);
    // The label with its box's top-left corner at (x, y) on the current page.
    bool draw(const LabelMarks& marks, double x, double y);
    // The whole document to the file, or nothing.
    WriteResult save(const std::string& path);

private:
    PdfDocument(const ZebrixPdfFunctions* f, void* d)
        : f_(f)
        , d_(d)
    {
    }
    const ZebrixPdfFunctions* f_;
    void* d_;
    double pageHeight_ = 0;
};

// The label's bars as a reader sees them printed at dpi (its text left out):
// grey pixels, each column as dark as the bars cover it, a white border round.
GrayImage RasterizeLabel(const LabelMarks& marks, double dpi);

// Reads the label back at dpi, as --verify does for a file: Written when it
// reads as drawn, else Unreadable or NotChecked and why ("what: ...").
Product JudgeLabel(
    const RenderRequest& request, const Layout& layout, const LabelMarks& marks, double dpi, const std::string& what);

// Whether the output file is a PDF (by its extension, in any case).
bool IsPdfName(const std::string& name);

} // namespace zebrix::cli
