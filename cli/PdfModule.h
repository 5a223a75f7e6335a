#pragma once
// zebrix-cli-pdf.so: the PDF writer (libharu) in a module of its own, which
// zebrix-cli loads only when it writes a PDF, so that an image costs what it
// did. What crosses the boundary is plain C: one table of functions.
#include <cstddef>

extern "C" {

struct ZebrixPdfFunctions {
    // A new document (nullptr when out of memory), and its end.
    void* (*create)();
    void (*destroy)(void* document);
    // A new page, in points; what follows is drawn on it. Every call returns 0
    // on success, and once a call fails the document is not saved.
    int (*page)(void* document, double width, double height);
    // Filled black rectangles, count times x, y, width, height in points from
    // the page's bottom-left corner.
    int (*rectangles)(void* document, const double* boxes, std::size_t count);
    // Printable ASCII text in Helvetica, centred on x, its baseline at y.
    int (*text)(void* document, double x, double y, double size, const char* ascii);
    // The width of that text, in points.
    double (*textWidth)(void* document, double size, const char* ascii);
    // Writes the whole document to the descriptor; 0 on success, else errno
    // (EIO for the library's own failures).
    int (*save)(void* document, int fd);
};

// The module's one symbol.
using ZebrixPdfEntry = const ZebrixPdfFunctions* (*)();
}
