#include "ImageFiles.h"

#include "barcode/LabelFont.h"
#include "barcode/Look.h"
#include "barcode/Utf.h"

#include <algorithm>
#include <cstdio>

namespace zebrix {

namespace {

std::string Number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    std::string s = buf;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

// The window's label font and its stand-ins, as a font-family list.
std::string FontFamilies()
{
    std::string families;
    for (const std::string family : kMsSansSerifFamilies)
        families += (family.find(' ') == std::string::npos ? family : "'" + family + "'") + ", ";
    return families + "sans-serif";
}

std::string XmlText(std::u16string_view text)
{
    std::u16string shown;
    for (char16_t c : text) {
        if (c < 0x20)
            c = static_cast<char16_t>(0x2400 + c); // control pictures, as the window shows them
        else if (c == 0x7F)
            c = 0x2421;
        else if (c == 0xFFFE || c == 0xFFFF)
            c = 0xFFFD;
        shown.push_back(c);
    }
    std::string out;
    for (const char c : Utf16ToUtf8(shown)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

bool Attribute(std::string_view element, std::string_view name, long long& value)
{
    const std::string key = " " + std::string(name) + "=\"";
    const auto at = element.find(key);
    if (at == std::string_view::npos)
        return false;
    std::size_t i = at + key.size();
    value = 0;
    std::size_t digits = 0;
    while (i < element.size() && element[i] >= '0' && element[i] <= '9' && digits < 12) {
        value = value * 10 + (element[i] - '0');
        ++i, ++digits;
    }
    return digits > 0 && i < element.size() && element[i] == '"';
}

} // namespace

std::string EncodeSvg(const Drawing& drawing, int width, int height, const Resolution& r)
{
    const double mmPerUnit = 25.4 * r.scale / r.dpi;
    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width * mmPerUnit)
        + "mm\" height=\"" + Number(height * mmPerUnit) + "mm\" viewBox=\"0 0 " + std::to_string(width) + ' '
        + std::to_string(height) + "\" shape-rendering=\"crispEdges\">\n";
    s += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height)
        + "\" fill=\"#fff\"/>\n";

    // Adjacent columns make one bar; every column has the same rows.
    s += "<g fill=\"#000\">\n";
    const int top = std::max(drawing.top, 0);
    const int bottom = std::min(drawing.bottom, height - 1);
    const auto& columns = drawing.columns;
    for (std::size_t i = 0; top <= bottom && i < columns.size();) {
        const std::int32_t first = columns[i];
        std::size_t j = i + 1;
        while (j < columns.size() && columns[j] == columns[j - 1] + 1 && columns[j] < width)
            ++j;
        if (first >= 0 && first < width)
            s += "<rect x=\"" + std::to_string(first) + "\" y=\"" + std::to_string(top) + "\" width=\""
                + std::to_string(columns[j - 1] - first + 1) + "\" height=\"" + std::to_string(bottom - top + 1)
                + "\"/>\n";
        i = j;
    }
    s += "</g>\n";
    const int x = drawing.labelPixelX();
    const long long room = static_cast<long long>(width) - x;
    if (drawing.kind == Drawing::Kind::Bars && drawing.labelShown && room > 0 && kLabelY < height) {
        // What can start inside the picture: every glyph is at least a pixel wide.
        const auto keep = static_cast<std::size_t>(
            std::min<long long>(4 * room + 64, static_cast<long long>(drawing.label.size())));
        s += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(kLabelY + LabelFont::Ascent())
            + "\" font-family=\"" + FontFamilies() + "\" font-size=\"11\" fill=\"#000\" xml:space=\"preserve\">"
            + XmlText(std::u16string_view(drawing.label).substr(0, keep)) + "</text>\n";
    }
    s += "</svg>\n";
    return s;
}

bool RasterizeSvgBars(std::string_view svg, GrayImage& image)
{
    const auto viewBox = svg.find("viewBox=\"0 0 ");
    if (viewBox == std::string_view::npos)
        return false;
    long long w = 0, h = 0;
    std::size_t i = viewBox + 13;
    auto number = [&](long long& v) {
        std::size_t digits = 0;
        v = 0;
        while (i < svg.size() && svg[i] >= '0' && svg[i] <= '9' && digits < 12)
            v = v * 10 + (svg[i++] - '0'), ++digits;
        return digits > 0;
    };
    if (!number(w) || i >= svg.size() || svg[i++] != ' ' || !number(h) || w <= 0 || h <= 0 || w > kMaxDots / h)
        return false;
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    image.pixels.assign(static_cast<std::size_t>(w * h), 255);
    const auto group = svg.find("<g fill=\"#000\">");
    const auto end = svg.find("</g>", group == std::string_view::npos ? 0 : group);
    if (group == std::string_view::npos || end == std::string_view::npos)
        return false;
    std::size_t pos = group;
    while ((pos = svg.find("<rect ", pos)) != std::string_view::npos && pos < end) {
        const auto close = svg.find("/>", pos);
        if (close == std::string_view::npos)
            return false;
        const std::string_view element = svg.substr(pos, close - pos);
        long long x, y, rw, rh;
        if (!Attribute(element, "x", x) || !Attribute(element, "y", y) || !Attribute(element, "width", rw)
            || !Attribute(element, "height", rh))
            return false;
        for (long long yy = y; yy < std::min(y + rh, h); ++yy)
            for (long long xx = x; xx < std::min(x + rw, w); ++xx)
                image.pixels[static_cast<std::size_t>(yy * w + xx)] = 0;
        pos = close;
    }
    return true;
}

} // namespace zebrix
