#pragma once
#include "LineInput.h"
#include "Pdf.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zebrix::cli {

// A sheet of sticky labels, in millimetres: the page, the top-left corner
// of its first label, the grid, a label, and the gaps between labels.
struct SheetGeometry {
    double pageWidth = 0, pageHeight = 0;
    double left = 0, top = 0;
    int columns = 0, rows = 0;
    double labelWidth = 0, labelHeight = 0;
    double gapX = 0, gapY = 0;
    int cells() const { return columns * rows; }
};

// A sheet's name (a4-3x8, a4-3x7, letter-3x10) or its form
// PAGEWxPAGEH:LEFT,TOP:COLSxROWS:LABELWxLABELH:GAPX,GAPY; nothing and why
// when it is neither, a size is zero, or the labels do not fit the page.
std::optional<SheetGeometry> ParseSheet(std::string_view text, std::string& why);

struct SheetSettings {
    RenderRequest base; // every option of a single drawing; the text comes from each line
    PaperLook look;
    SheetGeometry sheet;
    int start = 1; // the first cell used on the first page, from 1
    int copies = 1; // labels per line
    bool verify = false;
    double verifyDpi = 300;
    std::string path;
};

struct SheetCounts {
    long long lines = 0;
    long long labels = 0; // placed, copies included
    long long pages = 0;
    long long failed = 0; // lines that cannot be drawn: skipped, their cells taken by the next
    long long tooBig = 0; // lines whose label does not fit its cell: no file
    long long unreadable = 0;
    int readError = 0;
    int stoppedBy = 0;
    std::string unchecked; // why --verify could not read back at all
    std::string writeError; // the PDF could not be made or written: no file
    std::string refused; // too many labels for one PDF: no file
};

// Lays the lines out on sheets, page after page, in one PDF written whole at
// the end, or not at all when a label is refused or the run is stopped.
// Messages ("line N: ...") go to err in line order.
SheetCounts RunSheet(
    LineReader& input, const SheetSettings& settings, const std::function<void(std::string_view)>& err);

// One label on a page of its size; messages to err; the exit status.
int RunPdfLabel(
    const RenderRequest& request, const SheetSettings& settings, const std::function<void(std::string_view)>& err);

} // namespace zebrix::cli
