#include "Pdf.h"

#include "verify/ReaderModule.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace zebrix::cli {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;
// The label's em in pixels of the drawing: the window's 8-point font at 96 dpi.
constexpr double kFontPixels = 8 * 96 / 72.0;
// The blank between the bars and the label's capitals, in pixels (the window's).
constexpr double kTextGapPixels = 3;
constexpr double kCapHeight = 0.718; // Helvetica's, in ems
constexpr double kDescent = 0.207;

// zebrix-cli-pdf.so, loaded once.
const ZebrixPdfFunctions* LoadWriter(std::string& why)
{
    static std::string error;
    static const ZebrixPdfFunctions* const functions = [] {
        const auto entry
            = reinterpret_cast<ZebrixPdfEntry>(LoadModuleSymbol("zebrix-cli-pdf.so", "zebrix_cli_pdf", error));
        const ZebrixPdfFunctions* table = entry ? entry() : nullptr;
        if (entry && !table)
            error = "zebrix-cli-pdf.so is not the PDF module of this program";
        return table;
    }();
    if (!functions)
        why = "cannot load the PDF writer: " + error;
    return functions;
}

} // namespace

bool IsPdfName(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".pdf";
}

std::unique_ptr<PdfDocument> PdfDocument::Create(std::string& why)
{
    const ZebrixPdfFunctions* f = LoadWriter(why);
    if (!f)
        return nullptr;
    void* d = f->create();
    if (!d) {
        why = "cannot make a PDF: out of memory";
        return nullptr;
    }
    return std::unique_ptr<PdfDocument>(new PdfDocument(f, d));
}

PdfDocument::~PdfDocument() { f_->destroy(d_); }

LabelMarks PdfDocument::Marks(const Layout& layout, const PaperLook& look) const
{
    LabelMarks marks;
    const Drawing& d = layout.drawing;
    const double m = look.module;
    const double barHeight = look.height > 0 ? look.height : (d.bottom - d.top + 1) * m;
    const auto& columns = d.columns;
    for (std::size_t i = 0; i < columns.size();) {
        std::size_t j = i + 1;
        while (j < columns.size() && columns[j] == columns[j - 1] + 1)
            ++j;
        marks.bars.push_back({columns[i] * m, 0, (columns[j - 1] + 1 - columns[i]) * m, barHeight});
        i = j;
    }
    marks.width = layout.width * m;
    marks.height = barHeight;
    const double first = columns.empty() ? kFirstBarX : columns.front();
    const double last = columns.empty() ? kFirstBarX : columns.back() + 1;
    marks.textX = (first + last) / 2 * m;
    if (!d.labelShown || d.label.empty())
        return marks;
    for (const char16_t c : d.label)
        marks.text.push_back(c >= u' ' && c <= u'~' ? static_cast<char>(c) : '?');
    marks.fontSize = kFontPixels * m;
    marks.baseline = barHeight + kTextGapPixels * m + kCapHeight * marks.fontSize;
    marks.height = marks.baseline + kDescent * marks.fontSize;
    const double half = f_->textWidth(d_, marks.fontSize, marks.text.c_str()) / 2; // in millimetres: same scale
    const double left = std::min(0.0, marks.textX - half);
    if (left < 0) { // a text wider than the bars and their quiet zones widens the box on both sides
        for (auto& bar : marks.bars)
            bar.x -= left;
        marks.textX -= left;
    }
    marks.width = std::max(marks.width - left, marks.textX + half);
    return marks;
}

bool PdfDocument::page(double width, double height)
{
    pageHeight_ = height;
    return f_->page(d_, width * kPointsPerMm, height * kPointsPerMm) == 0;
}

bool PdfDocument::draw(const LabelMarks& marks, double x, double y)
{
    std::vector<double> boxes;
    boxes.reserve(marks.bars.size() * 4);
    for (const auto& b : marks.bars) {
        boxes.push_back((x + b.x) * kPointsPerMm);
        boxes.push_back((pageHeight_ - y - b.y - b.height) * kPointsPerMm);
        boxes.push_back(b.width * kPointsPerMm);
        boxes.push_back(b.height * kPointsPerMm);
    }
    if (f_->rectangles(d_, boxes.data(), marks.bars.size()) != 0)
        return false;
    return marks.text.empty()
        || f_->text(d_, (x + marks.textX) * kPointsPerMm, (pageHeight_ - y - marks.baseline) * kPointsPerMm,
               marks.fontSize * kPointsPerMm, marks.text.c_str())
        == 0;
}

WriteResult PdfDocument::save(const std::string& path)
{
    return WriteFileAtomically(path, [&](int fd) {
        const int error = f_->save(d_, fd);
        errno = error;
        return error == 0;
    });
}

GrayImage RasterizeLabel(const LabelMarks& marks, double dpi)
{
    const double perMm = dpi / 25.4;
    const int border = static_cast<int>(std::ceil(2 * perMm)); // 2 mm of white round the box
    const double barHeight = marks.bars.empty() ? 0 : marks.bars.front().height;
    GrayImage image;
    image.width = static_cast<int>(std::ceil(marks.width * perMm)) + 2 * border;
    image.height = static_cast<int>(std::lround(barHeight * perMm)) + 2 * border;
    std::vector<double> ink(static_cast<std::size_t>(image.width), 0.0);
    for (const auto& bar : marks.bars) { // each column as dark as the bars cover it
        const double left = bar.x * perMm + border, right = (bar.x + bar.width) * perMm + border;
        for (int x = std::max(0, static_cast<int>(left)); x < image.width && x < right; ++x)
            ink[static_cast<std::size_t>(x)] += std::min<double>(right, x + 1) - std::max<double>(left, x);
    }
    image.pixels.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 255);
    for (int y = border; y < image.height - border; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width)
                + static_cast<std::size_t>(x)]
                = static_cast<std::uint8_t>(std::lround(255 * (1 - std::min(1.0, ink[static_cast<std::size_t>(x)]))));
    return image;
}

Product JudgeLabel(
    const RenderRequest& request, const Layout& layout, const LabelMarks& marks, double dpi, const std::string& what)
{
    return JudgeReadBack(request, layout, what, "labels", [&](GrayImage& image, std::string&) {
        image = RasterizeLabel(marks, dpi);
        return true;
    });
}

} // namespace zebrix::cli
