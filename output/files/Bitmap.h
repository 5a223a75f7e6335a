#pragma once
#include <cstdint>
#include <vector>

namespace zebrix {

// A black-and-white picture, one byte per pixel (1 black, 0 white), rows top
// to bottom: what the command line draws. A raster for the painter.
struct Bitmap {
    int w = 0;
    int h = 0;
    std::vector<std::uint8_t> pixels;

    Bitmap() = default;
    Bitmap(int width, int height)
        : w(width)
        , h(height)
        , pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
    {
    }
    int width() const { return w; }
    int height() const { return h; }
    bool black(int x, int y) const { return pixels[index(x, y)] != 0; }
    void setBlack(int x, int y) { pixels[index(x, y)] = 1; }
    const std::uint8_t* row(int y) const { return pixels.data() + index(0, y); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
    }
};

// A grey picture, 0 black to 255 white, rows packed.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// A colour picture, 3 bytes (R, G, B) per pixel, rows packed: the window's
// drawing, which can hold a saved picture under the bars.
struct RgbImage {
    int width = 0;
    int height = 0;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    std::vector<std::uint8_t> pixels;
};

} // namespace zebrix
