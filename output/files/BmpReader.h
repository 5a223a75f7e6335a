#pragma once
// The bitmap side of the converter: checks a BMP held in memory and hands its
// rows out as 8-bit RGB, top row first.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zebrix {

// Largest side a JPEG file can hold, and a bound on the work per file.
inline constexpr int kMaxSide = 65500;
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

class BmpView {
public:
    // Checks the headers, and that every pixel lies inside the data; nothing
    // when the data is not a bitmap we read, or has a side longer than
    // maxSide. The view points into the data.
    static std::optional<BmpView> Parse(std::span<const std::uint8_t> data, int maxSide = kMaxSide);

    int width() const { return width_; }
    int height() const { return height_; }
    // Resolution in dots per metre as stored; 0 when not given.
    int dotsPerMeterX() const { return dotsPerMeterX_; }
    int dotsPerMeterY() const { return dotsPerMeterY_; }

    // Row y (0 at the top) as R, G, B bytes: width() * 3 of them.
    void readRow(int y, std::uint8_t* rgb) const;
    // True when every pixel has equal red, green and blue.
    bool isGray() const;

private:
    BmpView() = default;
    const std::uint8_t* storedRow(int y) const;
    std::array<std::uint8_t, 3> pixel(const std::uint8_t* row, int x) const;

    const std::uint8_t* pixels_ = nullptr;
    std::size_t stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool topDown_ = false;
    int bits_ = 0;
    int dotsPerMeterX_ = 0;
    int dotsPerMeterY_ = 0;
    // Palette (1, 4 and 8 bits): R, G, B; indices past its end are black.
    std::array<std::array<std::uint8_t, 3>, 256> palette_{};
    int paletteSize_ = 0;
    // Channel masks (16 and 32 bits), R, G, B.
    std::array<std::uint32_t, 3> masks_{};
    std::array<int, 3> shifts_{};
    std::array<std::uint32_t, 3> maxima_{};
};

} // namespace zebrix
