// zebrix-cli-pdf.so: pages of labels through libharu, for zebrix-cli.
#include "PdfModule.h"

#include <hpdf.h>

#include <cerrno>
#include <new>
#include <unistd.h>

namespace {

struct Document {
    HPDF_Doc pdf = nullptr;
    HPDF_Page page = nullptr;
    HPDF_Font font = nullptr;
    bool failed = false;
};

// libharu reports its errors here, not by jumping: the call's result says it too.
void OnError(HPDF_STATUS, HPDF_STATUS, void* data) { static_cast<Document*>(data)->failed = true; }

void* Create()
{
    auto* d = new (std::nothrow) Document;
    if (!d)
        return nullptr;
    d->pdf = HPDF_New(OnError, d);
    if (!d->pdf) {
        delete d;
        return nullptr;
    }
    HPDF_SetCompressionMode(d->pdf, HPDF_COMP_ALL);
    d->font = HPDF_GetFont(d->pdf, "Helvetica", "WinAnsiEncoding"); // one of the 14 every reader has
    return d;
}

void Destroy(void* document)
{
    auto* d = static_cast<Document*>(document);
    HPDF_Free(d->pdf);
    delete d;
}

int Page(void* document, double width, double height)
{
    auto* d = static_cast<Document*>(document);
    if (d->failed)
        return -1;
    d->page = HPDF_AddPage(d->pdf);
    if (d->page) {
        HPDF_Page_SetWidth(d->page, static_cast<HPDF_REAL>(width));
        HPDF_Page_SetHeight(d->page, static_cast<HPDF_REAL>(height));
    }
    return d->failed || !d->page ? -1 : 0;
}

int Rectangles(void* document, const double* boxes, std::size_t count)
{
    auto* d = static_cast<Document*>(document);
    if (d->failed || !d->page)
        return -1;
    if (count == 0)
        return 0;
    for (std::size_t i = 0; i < count; ++i, boxes += 4)
        HPDF_Page_Rectangle(d->page, static_cast<HPDF_REAL>(boxes[0]), static_cast<HPDF_REAL>(boxes[1]),
            static_cast<HPDF_REAL>(boxes[2]), static_cast<HPDF_REAL>(boxes[3]));
    HPDF_Page_Fill(d->page);
    return d->failed ? -1 : 0;
}

double TextWidth(void* document, double size, const char* ascii)
{
    auto* d = static_cast<Document*>(document);
    HPDF_INT len = 0;
    while (ascii[len] != '\0')
        ++len;
    const HPDF_TextWidth w = HPDF_Font_TextWidth(d->font, reinterpret_cast<const HPDF_BYTE*>(ascii), len);
    return static_cast<double>(w.width) * size / 1000.0;
}

int Text(void* document, double x, double y, double size, const char* ascii)
{
    auto* d = static_cast<Document*>(document);
    if (d->failed || !d->page)
        return -1;
    HPDF_Page_BeginText(d->page);
    HPDF_Page_SetFontAndSize(d->page, d->font, static_cast<HPDF_REAL>(size));
    HPDF_Page_TextOut(
        d->page, static_cast<HPDF_REAL>(x - TextWidth(document, size, ascii) / 2), static_cast<HPDF_REAL>(y), ascii);
    HPDF_Page_EndText(d->page);
    return d->failed ? -1 : 0;
}

int Save(void* document, int fd)
{
    auto* d = static_cast<Document*>(document);
    if (d->failed || HPDF_SaveToStream(d->pdf) != HPDF_OK)
        return EIO;
    HPDF_BYTE buffer[65536];
    for (;;) {
        HPDF_UINT32 size = sizeof buffer;
        const HPDF_STATUS status = HPDF_ReadFromStream(d->pdf, buffer, &size);
        for (HPDF_UINT32 done = 0; done < size;) {
            const ssize_t n = ::write(fd, buffer + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? errno : EIO;
            done += static_cast<HPDF_UINT32>(n);
        }
        if (status == HPDF_STREAM_EOF)
            return 0;
        if (status != HPDF_OK)
            return EIO;
    }
}

const ZebrixPdfFunctions kFunctions{Create, Destroy, Page, Rectangles, Text, TextWidth, Save};

} // namespace

extern "C" __attribute__((visibility("default"))) const ZebrixPdfFunctions* zebrix_cli_pdf() { return &kFunctions; }
