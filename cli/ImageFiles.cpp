#include "ImageFiles.h"

#include "Utf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <zlib.h>

namespace zebrix::cli {

namespace {

void Put16(std::string& s, unsigned v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put32Big(std::string& s, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t DotsPerMetre(double dpi) { return static_cast<std::uint32_t>(std::lround(dpi / 0.0254)); }

// One row of the bitmap blown up scale times across, one bit per dot, most
// significant bit first; 1 is white. out is at least (width * scale + 7) / 8
// bytes; the bytes past the row are zero.
void PackRow(const Bitmap& b, int y, int scale, std::string& out, std::vector<std::uint8_t>& wide)
{
    const std::uint8_t* src = b.row(y);
    std::size_t dots = static_cast<std::size_t>(b.width);
    if (scale > 1) {
        wide.resize(dots * static_cast<std::size_t>(scale));
        for (std::size_t x = 0, k = 0; x < dots; ++x)
            for (int s = 0; s < scale; ++s)
                wide[k++] = src[x];
        src = wide.data();
        dots = wide.size();
    }
    std::fill(out.begin(), out.end(), '\0');
    std::size_t i = 0;
    for (; i + 8 <= dots; i += 8) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            byte = (byte << 1) | (src[i + static_cast<std::size_t>(k)] == 0);
        out[i >> 3] = static_cast<char>(byte);
    }
    if (i < dots) {
        unsigned byte = 0;
        for (std::size_t k = i; k < i + 8; ++k)
            byte = (byte << 1) | (k < dots && src[k] == 0);
        out[i >> 3] = static_cast<char>(byte);
    }
}

// Whether row y holds the same pixels as row other (false if other is outside).
bool SameRow(const Bitmap& b, int y, int other)
{
    return other >= 0 && other < b.height && std::memcmp(b.row(y), b.row(other), static_cast<std::size_t>(b.width)) == 0;
}

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

} // namespace

std::optional<ImageType> ImageTypeOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (ext == "bmp")
        return ImageType::Bmp;
    if (ext == "png")
        return ImageType::Png;
    if (ext == "jpg" || ext == "jpeg")
        return ImageType::Jpeg;
    if (ext == "svg")
        return ImageType::Svg;
    return std::nullopt;
}

std::string EncodeBmp(const Bitmap& bitmap, const Resolution& r)
{
    const auto w = static_cast<std::uint32_t>(bitmap.width) * static_cast<std::uint32_t>(r.scale);
    const auto h = static_cast<std::uint32_t>(bitmap.height) * static_cast<std::uint32_t>(r.scale);
    const std::uint32_t rowBytes = ((w + 31) / 32) * 4;
    const std::uint32_t offset = 14 + 40 + 8;
    const std::uint32_t imageBytes = rowBytes * h;
    std::string s;
    s.reserve(offset + imageBytes);
    s += "BM";
    Put32(s, offset + imageBytes);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, w);
    Put32(s, h); // positive: rows from the bottom up
    Put16(s, 1);
    Put16(s, 1); // bits per pixel
    Put32(s, 0); // no compression
    Put32(s, imageBytes);
    Put32(s, DotsPerMetre(r.dpi));
    Put32(s, DotsPerMetre(r.dpi));
    Put32(s, 2);
    Put32(s, 2);
    Put32(s, 0x00000000); // 0: black
    Put32(s, 0x00FFFFFF); // 1: white
    std::string row(rowBytes, '\0');
    std::vector<std::uint8_t> wide;
    for (int y = bitmap.height - 1; y >= 0; --y) {
        if (!SameRow(bitmap, y, y + 1)) // most rows are the bars again: packed once
            PackRow(bitmap, y, r.scale, row, wide);
        for (int k = 0; k < r.scale; ++k)
            s += row;
    }
    return s;
}

std::string EncodePng(const Bitmap& bitmap, const Resolution& r)
{
    const auto w = static_cast<std::uint32_t>(bitmap.width) * static_cast<std::uint32_t>(r.scale);
    const auto h = static_cast<std::uint32_t>(bitmap.height) * static_cast<std::uint32_t>(r.scale);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&png](const char* type, const std::string& data) {
        Put32Big(png, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = png.size();
        png.append(type, 4);
        png += data;
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + start), static_cast<uInt>(png.size() - start));
        Put32Big(png, static_cast<std::uint32_t>(crc));
    };
    std::string ihdr;
    Put32Big(ihdr, w);
    Put32Big(ihdr, h);
    ihdr += std::string("\x01\x00\x00\x00\x00", 5); // 1 bit, grey, deflate, no filter, not interlaced
    chunk("IHDR", ihdr);
    std::string phys;
    Put32Big(phys, DotsPerMetre(r.dpi));
    Put32Big(phys, DotsPerMetre(r.dpi));
    phys.push_back('\x01'); // metres
    chunk("pHYs", phys);

    // Every row: filter type 0, then the packed dots.
    const std::size_t rowBytes = (w + 7) / 8;
    std::string row(rowBytes, '\0');
    std::vector<std::uint8_t> wide;
    z_stream z{};
    // Rows repeat within a few hundred bytes: a small window does as well
    // as the default and costs far less to set up.
    deflateInit2(&z, 6, Z_DEFLATED, 11, 4, Z_DEFAULT_STRATEGY);
    std::string idat;
    char out[65536];
    auto feed = [&](const char* data, std::size_t n, int flush) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        z.avail_in = static_cast<uInt>(n);
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, flush);
            idat.append(out, sizeof out - z.avail_out);
        } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    };
    const char filter = 0;
    for (int y = 0; y < bitmap.height; ++y) {
        if (!SameRow(bitmap, y, y - 1))
            PackRow(bitmap, y, r.scale, row, wide);
        for (int k = 0; k < r.scale; ++k) {
            feed(&filter, 1, Z_NO_FLUSH);
            feed(row.data(), row.size(), Z_NO_FLUSH);
        }
    }
    int status;
    do {
        z.next_in = nullptr;
        z.avail_in = 0;
        z.next_out = reinterpret_cast<Bytef*>(out);
        z.avail_out = sizeof out;
        status = deflate(&z, Z_FINISH);
        idat.append(out, sizeof out - z.avail_out);
    } while (status == Z_OK);
    deflateEnd(&z);
    chunk("IDAT", idat);
    chunk("IEND", {});
    return png;
}

std::string EncodeSvg(int width, int height, const std::vector<BitmapSurface::Column>& columns,
                      const std::vector<BitmapSurface::Label>& labels, int ascent, const Resolution& r)
{
    const double mmPerUnit = 25.4 * r.scale / r.dpi;
    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width * mmPerUnit) + "mm\" height=\""
        + Number(height * mmPerUnit) + "mm\" viewBox=\"0 0 " + std::to_string(width) + ' ' + std::to_string(height)
        + "\" shape-rendering=\"crispEdges\">\n";
    s += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height)
        + "\" fill=\"#fff\"/>\n";

    // Adjacent columns of the same height make one bar.
    std::vector<BitmapSurface::Column> sorted = columns;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return std::tie(a.top, a.bottom, a.x) < std::tie(b.top, b.bottom, b.x);
    });
    s += "<g fill=\"#000\">\n";
    for (std::size_t i = 0; i < sorted.size();) {
        const auto& first = sorted[i];
        int end = first.x + 1;
        std::size_t j = i + 1;
        while (j < sorted.size() && sorted[j].top == first.top && sorted[j].bottom == first.bottom && sorted[j].x <= end) {
            end = std::max(end, sorted[j].x + 1);
            ++j;
        }
        s += "<rect x=\"" + std::to_string(first.x) + "\" y=\"" + std::to_string(first.top) + "\" width=\""
            + std::to_string(end - first.x) + "\" height=\"" + std::to_string(first.bottom - first.top + 1) + "\"/>\n";
        i = j;
    }
    s += "</g>\n";
    for (const auto& label : labels) {
        s += "<text x=\"" + std::to_string(label.x) + "\" y=\"" + std::to_string(label.y + ascent)
            + "\" font-family=\"'MS Sans Serif', 'Microsoft Sans Serif', 'Liberation Sans', Arial, 'DejaVu Sans', "
              "sans-serif\" font-size=\"11\" fill=\"#000\" xml:space=\"preserve\">"
            + XmlText(label.text) + "</text>\n";
    }
    s += "</svg>\n";
    return s;
}

} // namespace zebrix::cli

namespace zebrix::cli {

namespace {

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
    if (!number(w) || i >= svg.size() || svg[i++] != ' ' || !number(h) || w <= 0 || h <= 0 || w * h > kMaxDots)
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

} // namespace zebrix::cli
