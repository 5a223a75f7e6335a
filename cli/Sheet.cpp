#include "Sheet.h"

#include "Batch.h"
#include "Printable.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zebrix::cli {

namespace {

struct NamedSheet {
    std::string_view name, form;
};
// Avery 3490 and 3652 on A4, Avery 5160 on Letter (3/16 in, 1/2 in margins; 1/8 in between columns).
constexpr NamedSheet kSheets[] = {
    {"a4-3x8", "210x297:0,0.5:3x8:70x37:0,0"},
    {"a4-3x7", "210x297:0,0.45:3x7:70x42.3:0,0"},
    {"letter-3x10", "215.9x279.4:4.7625,12.7:3x10:66.675x25.4:3.175,0"},
};

// Millimetres as a message gives them: at most two decimals.
std::string Mm(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

// A number of the form: a minus sign if wanted (refused later with the
// size it is), digits, then a point and digits if wanted; no exponent.
bool Number(std::string_view s, double& v)
{
    const bool negative = s.starts_with('-');
    const auto point = s.find('.');
    const std::string_view whole = s.substr(negative ? 1 : 0, point - (negative ? 1 : 0));
    const std::string_view part = point == s.npos ? "" : s.substr(point + 1);
    if (whole.empty() || whole.size() > 6 || whole.find_first_not_of("0123456789") != s.npos
        || (point != s.npos && (part.empty() || part.find_first_not_of("0123456789") != s.npos)))
        return false;
    v = std::strtod(std::string(s).c_str(), nullptr);
    return true;
}

// "AxB" or "A,B" into two numbers.
bool Pair(std::string_view s, char separator, double& a, double& b)
{
    const auto at = s.find(separator);
    return at != s.npos && Number(s.substr(0, at), a) && Number(s.substr(at + 1), b);
}

// The PDF is made in memory, about 3 KB a label: a bound for a batch without end.
constexpr long long kMaxLabels = 100000;

} // namespace

std::optional<SheetGeometry> ParseSheet(std::string_view text, std::string& why)
{
    std::string_view form = text;
    for (const auto& named : kSheets)
        if (named.name == text)
            form = named.form;
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const auto colon = form.find(':', from);
        parts.push_back(form.substr(from, colon == form.npos ? form.npos : colon - from));
        if (colon == form.npos)
            break;
        from = colon + 1;
    }
    SheetGeometry g;
    double columns = 0, rows = 0;
    if (parts.size() != 5 || !Pair(parts[0], 'x', g.pageWidth, g.pageHeight) || !Pair(parts[1], ',', g.left, g.top)
        || !Pair(parts[2], 'x', columns, rows) || !Pair(parts[3], 'x', g.labelWidth, g.labelHeight)
        || !Pair(parts[4], ',', g.gapX, g.gapY)) {
        why = "unknown sheet \"" + std::string(text)
            + "\": use a4-3x8, a4-3x7, letter-3x10 or PAGEWxPAGEH:LEFT,TOP:COLSxROWS:LABELWxLABELH:GAPX,GAPY"
              " in millimetres";
        return std::nullopt;
    }
    if (columns != std::floor(columns) || rows != std::floor(rows) || columns < 1 || rows < 1 || columns * rows > 10000
        || g.pageWidth <= 0 || g.pageHeight <= 0 || g.labelWidth <= 0 || g.labelHeight <= 0 || g.pageWidth > 5000
        || g.pageHeight > 5000 || g.left < 0 || g.top < 0 || g.gapX < 0 || g.gapY < 0) {
        why = "sheet \"" + std::string(text)
            + "\": the page and the labels need sizes above zero (pages at most 5000 mm), the margins and gaps"
              " zero or more, and whole numbers of columns and rows from 1 (at most 10000 labels a page)";
        return std::nullopt;
    }
    g.columns = static_cast<int>(columns);
    g.rows = static_cast<int>(rows);
    const double right = g.left + g.columns * g.labelWidth + (g.columns - 1) * g.gapX;
    const double bottom = g.top + g.rows * g.labelHeight + (g.rows - 1) * g.gapY;
    if (right > g.pageWidth + 1e-6 || bottom > g.pageHeight + 1e-6) {
        why = "sheet \"" + std::string(text) + "\": the labels reach " + Mm(right) + " x " + Mm(bottom)
            + " mm, past the page's " + Mm(g.pageWidth) + " x " + Mm(g.pageHeight) + " mm";
        return std::nullopt;
    }
    return g;
}

SheetCounts RunSheet(LineReader& input, const SheetSettings& s, const std::function<void(std::string_view)>& err)
{
    SheetCounts counts;
    auto document = PdfDocument::Create(counts.writeError);
    if (!document)
        return counts;
    const SheetGeometry& g = s.sheet;
    int cell = s.start - 1;
    bool pageOpen = false;
    std::string bytes;
    for (;;) {
        const LineReader::Result r = input.next(bytes);
        if (r == LineReader::End || r == LineReader::Failed || BatchStop().load() != 0) {
            counts.readError = r == LineReader::Failed ? input.error() : 0;
            break;
        }
        const long long n = ++counts.lines;
        RenderRequest request = s.base;
        Layout layout;
        if (const std::string problem = LayOutLine(r, bytes, request, layout); !problem.empty()) {
            ++counts.failed;
            err(LineMessage(n, problem));
            continue;
        }
        const LabelMarks marks = document->Marks(layout, s.look);
        if (marks.width > g.labelWidth + 1e-9 || marks.height > g.labelHeight + 1e-9) {
            ++counts.tooBig;
            err(LineMessage(n,
                "the label needs " + Mm(marks.width) + " x " + Mm(marks.height)
                    + " mm (quiet zones included); the cell has " + Mm(g.labelWidth) + " x " + Mm(g.labelHeight)
                    + " mm"));
            continue;
        }
        if (counts.tooBig > 0)
            continue; // no file will be written: only the other refusals are still worth saying
        if (s.verify) {
            Product p = JudgeLabel(request, layout, marks, s.verifyDpi, "line " + std::to_string(n));
            if (p.status == Product::NotChecked && counts.unchecked.empty())
                counts.unchecked = std::move(p.message);
            else if (p.status == Product::Unreadable)
                ++counts.unreadable, err(Printable(p.message) + "\n");
        }
        for (int copy = 0; copy < s.copies; ++copy, ++cell) {
            if (counts.labels == kMaxLabels) {
                counts.refused = "more than " + std::to_string(kMaxLabels) + " labels from line " + std::to_string(n)
                    + " on: one PDF is made in memory; split the batch";
                return counts;
            }
            if (!pageOpen || cell == g.cells()) {
                if (!document->page(g.pageWidth, g.pageHeight)) {
                    counts.writeError = "cannot make the PDF's page";
                    return counts;
                }
                cell = pageOpen ? 0 : cell;
                pageOpen = true;
                ++counts.pages;
            }
            const int column = cell % g.columns, row = cell / g.columns;
            const double x = g.left + column * (g.labelWidth + g.gapX) + (g.labelWidth - marks.width) / 2;
            const double y = g.top + row * (g.labelHeight + g.gapY) + (g.labelHeight - marks.height) / 2;
            if (!document->draw(marks, x, y)) {
                counts.writeError = "cannot draw on the PDF's page";
                return counts;
            }
            ++counts.labels;
        }
    }
    counts.stoppedBy = BatchStop().load();
    if (counts.tooBig > 0 || counts.stoppedBy != 0 || counts.readError != 0 || counts.labels == 0)
        return counts;
    if (const WriteResult result = document->save(s.path); !result.written())
        counts.writeError = Describe(result, s.path);
    return counts;
}

int RunPdfLabel(const RenderRequest& request, const SheetSettings& s, const std::function<void(std::string_view)>& err)
{
    auto say = [&](const std::string& what) { err("zebrix-cli: " + Printable(what) + "\n"); };
    const Layout layout = LayOut(request);
    if (!layout.problem.empty())
        return say(layout.problem), 2;
    std::string why;
    auto document = PdfDocument::Create(why);
    if (!document)
        return say("cannot write " + s.path + ": " + why), 1;
    const LabelMarks marks = document->Marks(layout, s.look);
    const double margin = 1; // millimetres of white above and below
    if (const double side = 14400 / 72.0 * 25.4; marks.width > side || marks.height + 2 * margin > side)
        return say("the label would be " + Mm(marks.width) + " x " + Mm(marks.height + 2 * margin)
                   + " mm; a PDF page is at most " + Mm(side) + " mm on a side (use a smaller --module)"),
               2;
    if (!document->page(marks.width, marks.height + 2 * margin) || !document->draw(marks, 0, margin))
        return say("cannot write " + s.path + ": the PDF could not be made"), 1;
    // Read back before the file is written; written all the same, as an image is.
    const Product p = s.verify ? JudgeLabel(request, layout, marks, s.verifyDpi, s.path) : Product{};
    if (const WriteResult result = document->save(s.path); !result.written())
        return say(Describe(result, s.path)), 1;
    if (!p.message.empty())
        say(p.message);
    return p.status == Product::Unreadable ? 3 : p.status == Product::NotChecked ? 4 : 0;
}

} // namespace zebrix::cli
