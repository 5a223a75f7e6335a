#include "BmpReader.h"

#include <algorithm>
#include <bit>

namespace zebrix {

namespace {

std::uint32_t U16(const std::uint8_t* p) { return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8; }
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

constexpr std::uint32_t kRgb = 0; // BI_RGB: uncompressed
constexpr std::uint32_t kBitFields = 3; // BI_BITFIELDS: uncompressed, with channel masks

} // namespace

std::optional<BmpView> BmpView::Parse(std::span<const std::uint8_t> data, int maxSide)
{
    const std::uint8_t* d = data.data();
    const std::uint64_t size = data.size();
    constexpr std::uint64_t kFileHeader = 14;
    if (size < kFileHeader + 12 || d[0] != 'B' || d[1] != 'M')
        return std::nullopt;
    const std::uint64_t pixelOffset = U32(d + 10);
    const std::uint64_t infoSize = U32(d + 14);

    BmpView v;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t colorsUsed = 0;
    std::uint64_t paletteStart = kFileHeader + infoSize;
    std::uint64_t paletteEntry = 4;
    std::uint64_t masksAt = 0;
    if (infoSize == 12) { // BITMAPCOREHEADER
        width = U16(d + 18);
        height = U16(d + 20);
        v.bits_ = static_cast<int>(U16(d + 24));
        paletteEntry = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
        if (size < kFileHeader + infoSize)
            return std::nullopt;
        width = I32(d + 18);
        height = I32(d + 22);
        v.bits_ = static_cast<int>(U16(d + 28));
        compression = U32(d + 30);
        v.dotsPerMeterX_ = std::max(I32(d + 38), 0);
        v.dotsPerMeterY_ = std::max(I32(d + 42), 0);
        colorsUsed = U32(d + 46);
        if (compression == kBitFields) {
            masksAt = kFileHeader + 40;
            if (infoSize == 40)
                paletteStart += 12; // the masks follow the header
            if (masksAt + 12 > size)
                return std::nullopt;
        }
    } else {
        return std::nullopt;
    }

    if (height < 0) {
        v.topDown_ = true;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide
        || static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels)
        return std::nullopt;
    v.width_ = static_cast<int>(width);
    v.height_ = static_cast<int>(height);

    switch (v.bits_) {
    case 1:
    case 4:
    case 8:
    case 24:
        if (compression != kRgb)
            return std::nullopt;
        break;
    case 16:
    case 32:
        if (compression != kRgb && compression != kBitFields)
            return std::nullopt;
        break;
    default: return std::nullopt;
    }

    if (v.bits_ <= 8) {
        const std::uint64_t most = std::uint64_t{1} << v.bits_;
        const std::uint64_t count = colorsUsed == 0 ? most : std::min(colorsUsed, most);
        if (paletteStart + count * paletteEntry > size)
            return std::nullopt;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint8_t* e = d + paletteStart + i * paletteEntry;
            v.palette_[i] = {e[2], e[1], e[0]};
        }
        v.paletteSize_ = static_cast<int>(count);
    } else if (v.bits_ == 16 || v.bits_ == 32) {
        if (compression == kBitFields)
            v.masks_ = {U32(d + masksAt), U32(d + masksAt + 4), U32(d + masksAt + 8)};
        else if (v.bits_ == 16)
            v.masks_ = {0x7C00, 0x03E0, 0x001F};
        else
            v.masks_ = {0x00FF0000, 0x0000FF00, 0x000000FF};
        for (std::size_t c = 0; c < 3; ++c) {
            const std::uint32_t mask = v.masks_[c];
            v.shifts_[c] = mask == 0 ? 0 : std::countr_zero(mask);
            v.maxima_[c] = mask >> v.shifts_[c];
        }
    }

    const std::uint64_t stride
        = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(v.bits_) + 31) / 32 * 4;
    if (pixelOffset > size || stride * static_cast<std::uint64_t>(height) > size - pixelOffset)
        return std::nullopt;
    v.pixels_ = d + pixelOffset;
    v.stride_ = static_cast<std::size_t>(stride);
    return v;
}

std::array<std::uint8_t, 3> BmpView::pixel(const std::uint8_t* row, int x) const
{
    switch (bits_) {
    case 1:
    case 4:
    case 8: {
        const int perByte = 8 / bits_;
        const std::uint8_t byte = row[x / perByte];
        const int shift = 8 - bits_ * (x % perByte + 1);
        const int index = (byte >> shift) & ((1 << bits_) - 1);
        if (index < paletteSize_)
            return palette_[static_cast<std::size_t>(index)];
        return {};
    }
    case 24: {
        const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
        return {p[2], p[1], p[0]};
    }
    case 16:
    case 32: {
        const std::uint32_t value = bits_ == 16 ? U16(row + 2 * static_cast<std::ptrdiff_t>(x))
                                                : U32(row + 4 * static_cast<std::ptrdiff_t>(x));
        std::array<std::uint8_t, 3> c{};
        for (std::size_t i = 0; i < 3; ++i)
            if (maxima_[i] != 0)
                c[i] = static_cast<std::uint8_t>(std::uint64_t{(value & masks_[i]) >> shifts_[i]} * 255 / maxima_[i]);
        return c;
    }
    default: return {};
    }
}

const std::uint8_t* BmpView::storedRow(int y) const
{
    const int stored = topDown_ ? y : height_ - 1 - y;
    return pixels_ + static_cast<std::size_t>(stored) * stride_;
}

void BmpView::readRow(int y, std::uint8_t* rgb) const
{
    const std::uint8_t* row = storedRow(y);
    for (int x = 0; x < width_; ++x, rgb += 3) {
        const auto c = pixel(row, x);
        rgb[0] = c[0];
        rgb[1] = c[1];
        rgb[2] = c[2];
    }
}

bool BmpView::isGray() const
{
    if (bits_ <= 8) {
        // A grey palette settles it (indices past its end are black).
        bool grayPalette = true;
        for (int i = 0; i < paletteSize_ && grayPalette; ++i) {
            const auto& c = palette_[static_cast<std::size_t>(i)];
            grayPalette = c[0] == c[1] && c[1] == c[2];
        }
        if (grayPalette)
            return true;
    }
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = storedRow(y);
        for (int x = 0; x < width_; ++x) {
            const auto c = pixel(row, x);
            if (c[0] != c[1] || c[1] != c[2])
                return false;
        }
    }
    return true;
}

} // namespace zebrix
