// Reading back the files Zebrix writes, for the read-back check.
#include "BmpReader.h"
#include "FileOutput.h"
#include "ImageFiles.h"
#include "Jpeg.h"

#include <limits>
#include <span>
#include <zlib.h>

namespace zebrix {

namespace {

std::uint32_t Big32(const unsigned char* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool ReadBmp(std::string_view bytes, GrayImage& image)
{
    // Any side a BMP can have: only the pixel count is bounded.
    const auto bmp = BmpView::Parse(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), std::numeric_limits<int>::max());
    if (!bmp)
        return false;
    image.width = bmp->width();
    image.height = bmp->height();
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(image.width) * 3);
    for (int y = 0; y < image.height; ++y) {
        bmp->readRow(y, rgb.data());
        for (int x = 0; x < image.width; ++x)
            image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width)
                + static_cast<std::size_t>(x)]
                = static_cast<std::uint8_t>((rgb[3 * x] + rgb[3 * x + 1] + rgb[3 * x + 2]) / 3);
    }
    return true;
}

// The PNGs we write: grey at 1 or 8 bits, or RGB at 8 bits, rows unfiltered.
bool ReadPng(std::string_view bytes, GrayImage& image)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t pos = 8;
    std::uint32_t w = 0, h = 0;
    int depth = 0, colour = -1;
    std::string idat;
    while (pos + 12 <= bytes.size()) {
        const std::uint32_t length = Big32(p + pos);
        if (length > bytes.size() - pos - 12)
            return false;
        const std::string_view type(bytes.data() + pos + 4, 4);
        const unsigned char* data = p + pos + 8;
        if (type == "IHDR" && length >= 13) {
            w = Big32(data), h = Big32(data + 4), depth = data[8], colour = data[9];
            if (data[12] != 0)
                return false; // interlaced
        } else if (type == "IDAT") {
            idat.append(reinterpret_cast<const char*>(data), length);
        }
        pos += 12 + length;
    }
    const int channels = colour == 0 ? 1 : colour == 2 ? 3 : 0;
    if (w == 0 || h == 0 || std::uint64_t{w} * h > static_cast<std::uint64_t>(kMaxDots) || channels == 0
        || (depth != 8 && !(depth == 1 && channels == 1)))
        return false;
    const std::size_t rowBytes = (std::size_t{w} * static_cast<std::size_t>(channels * depth) + 7) / 8;
    std::string raw((rowBytes + 1) * h, '\0');
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
            static_cast<uLong>(idat.size()))
            != Z_OK
        || rawSize != raw.size())
        return false;
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    image.pixels.resize(std::size_t{w} * h);
    for (std::uint32_t y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(raw.data()) + y * (rowBytes + 1);
        if (row[0] != 0)
            return false; // a filter we never write
        ++row;
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint8_t v;
            if (depth == 1)
                v = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
            else if (channels == 1)
                v = row[x];
            else
                v = static_cast<std::uint8_t>((row[3 * x] + row[3 * x + 1] + row[3 * x + 2]) / 3);
            image.pixels[std::size_t{y} * w + x] = v;
        }
    }
    return true;
}

} // namespace

bool ReadImageFile(const std::string& path, GrayImage& image, std::string& why)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, std::size_t{1} << 30)) {
        why = "cannot read the file";
        return false;
    }
    bool read = false;
    if (bytes.starts_with("BM"))
        read = ReadBmp(bytes, image);
    else if (bytes.starts_with("\x89PNG\r\n\x1a\n"))
        read = ReadPng(bytes, image);
    else if (bytes.starts_with("\xFF\xD8"))
        read = jpeg::DecodeGray(bytes, image);
    if (!read)
        why = "not a picture Zebrix can read";
    return read;
}

} // namespace zebrix
