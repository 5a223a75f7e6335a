#include "ImageFiles.h"

#include "Jpeg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <tuple>
#include <zlib.h>

namespace zebrix {

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

// The file and information headers of a bottom-up, uncompressed BMP whose
// palette of `colours` entries the caller appends, then the rows.
std::string BmpHeaders(std::uint32_t w, std::uint32_t h, unsigned bits, std::uint32_t rowBytes, std::uint32_t dpmX,
    std::uint32_t dpmY, std::uint32_t colours)
{
    const std::uint32_t offset = 14 + 40 + 4 * colours;
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
    Put16(s, bits);
    Put32(s, 0); // no compression
    Put32(s, imageBytes);
    Put32(s, dpmX);
    Put32(s, dpmY);
    Put32(s, colours);
    Put32(s, colours);
    return s;
}

std::uint32_t DotsPerMetre(double dpi) { return static_cast<std::uint32_t>(std::lround(dpi / 0.0254)); }

// One row of the bitmap blown up scale times across, one bit per dot, most
// significant bit first; 1 is white. out is at least (width * scale + 7) / 8
// bytes; the bytes past the row are zero.
void PackRow(const Bitmap& b, int y, int scale, std::string& out, std::vector<std::uint8_t>& wide)
{
    const std::uint8_t* src = b.row(y);
    std::size_t dots = static_cast<std::size_t>(b.w);
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
    return other >= 0 && other < b.h && std::memcmp(b.row(y), b.row(other), static_cast<std::size_t>(b.w)) == 0;
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
    const auto w = static_cast<std::uint32_t>(bitmap.w) * static_cast<std::uint32_t>(r.scale);
    const auto h = static_cast<std::uint32_t>(bitmap.h) * static_cast<std::uint32_t>(r.scale);
    const std::uint32_t rowBytes = ((w + 31) / 32) * 4;
    std::string s = BmpHeaders(w, h, 1, rowBytes, DotsPerMetre(r.dpi), DotsPerMetre(r.dpi), 2);
    Put32(s, 0x00000000); // 0: black
    Put32(s, 0x00FFFFFF); // 1: white
    std::string row(rowBytes, '\0');
    std::vector<std::uint8_t> wide;
    for (int y = bitmap.h - 1; y >= 0; --y) {
        if (!SameRow(bitmap, y, y + 1)) // most rows are the bars again: packed once
            PackRow(bitmap, y, r.scale, row, wide);
        for (int k = 0; k < r.scale; ++k)
            s += row;
    }
    return s;
}

namespace {

// A PNG of w x h pixels, each row given by rowAt (filter byte excluded).
std::string MakePng(std::uint32_t w, std::uint32_t h, char bitDepth, char colourType, std::uint32_t dotsPerMetre,
    std::size_t rowBytes, const std::function<void(std::uint32_t y, std::string& row)>& rowAt)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&png](const char* type, const std::string& data) {
        Put32Big(png, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = png.size();
        png.append(type, 4);
        png += data;
        const auto crc
            = crc32(0, reinterpret_cast<const Bytef*>(png.data() + start), static_cast<uInt>(png.size() - start));
        Put32Big(png, static_cast<std::uint32_t>(crc));
    };
    std::string ihdr;
    Put32Big(ihdr, w);
    Put32Big(ihdr, h);
    ihdr += std::string{bitDepth, colourType, '\0', '\0', '\0'}; // deflate, no filter, not interlaced
    chunk("IHDR", ihdr);
    if (dotsPerMetre > 0) {
        std::string phys;
        Put32Big(phys, dotsPerMetre);
        Put32Big(phys, dotsPerMetre);
        phys.push_back('\x01'); // metres
        chunk("pHYs", phys);
    }

    std::string row(rowBytes, '\0');
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
    for (std::uint32_t y = 0; y < h; ++y) {
        rowAt(y, row);
        feed(&filter, 1, Z_NO_FLUSH);
        feed(row.data(), row.size(), Z_NO_FLUSH);
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

} // namespace

std::string EncodePng(const Bitmap& bitmap, const Resolution& r)
{
    const auto w = static_cast<std::uint32_t>(bitmap.w) * static_cast<std::uint32_t>(r.scale);
    const auto h = static_cast<std::uint32_t>(bitmap.h) * static_cast<std::uint32_t>(r.scale);
    std::vector<std::uint8_t> wide;
    int packed = -1; // the bitmap row last packed into the row buffer
    return MakePng(w, h, 1, 0, DotsPerMetre(r.dpi), (w + 7) / 8, [&](std::uint32_t y, std::string& row) {
        const int source = static_cast<int>(y / static_cast<std::uint32_t>(r.scale));
        if (packed < 0 || (source != packed && !SameRow(bitmap, source, packed)))
            PackRow(bitmap, source, r.scale, row, wide);
        packed = source;
    });
}

std::string EncodePng(const RgbImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.width);
    const std::size_t rowBytes = std::size_t{w} * 3;
    return MakePng(w, static_cast<std::uint32_t>(image.height), 8, 2,
        static_cast<std::uint32_t>(std::max(image.dotsPerMeterX, 0)), rowBytes, [&](std::uint32_t y, std::string& row) {
            row.assign(reinterpret_cast<const char*>(image.pixels.data()) + y * rowBytes, rowBytes);
        });
}

std::string EncodeBmp(const RgbImage& image)
{
    const auto w = static_cast<std::uint32_t>(image.width);
    const auto h = static_cast<std::uint32_t>(image.height);
    const std::uint32_t rowBytes = ((w * 3 + 3) / 4) * 4;
    std::string s = BmpHeaders(w, h, 24, rowBytes, static_cast<std::uint32_t>(std::max(image.dotsPerMeterX, 0)),
        static_cast<std::uint32_t>(std::max(image.dotsPerMeterY, 0)), 0);
    std::string row(rowBytes, '\0');
    for (std::uint32_t y = h; y-- > 0;) {
        const std::uint8_t* src = image.pixels.data() + std::size_t{y} * w * 3;
        for (std::uint32_t x = 0; x < w; ++x) { // stored as B, G, R
            row[3 * x] = static_cast<char>(src[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(src[3 * x]);
        }
        s += row;
    }
    return s;
}

std::optional<std::string> EncodeJpeg(const Bitmap& bitmap, const Resolution& r, int quality)
{
    jpeg::Source source;
    source.width = bitmap.w * r.scale;
    source.height = bitmap.h * r.scale;
    source.gray = true;
    source.dpiX = source.dpiY = jpeg::DotsPerInch(static_cast<double>(DotsPerMetre(r.dpi)));
    source.row = [&](int y, std::uint8_t* row) {
        const std::uint8_t* src = bitmap.row(y / r.scale);
        for (int x = 0; x < source.width; ++x)
            row[x] = src[x / r.scale] ? 0 : 255;
    };
    std::string out;
    if (!jpeg::Encode(source, quality, false, out))
        return std::nullopt;
    return out;
}

} // namespace zebrix
