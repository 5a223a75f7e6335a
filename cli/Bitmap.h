#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace zebrix::cli {

// A black-and-white picture, one byte per pixel (1 black, 0 white), rows
// top to bottom. The command line never draws anything but black on white.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    Bitmap() = default;
    Bitmap(int w, int h)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0)
    {
    }
    bool black(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] != 0; }
    void setBlack(int x, int y) { pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = 1; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
};

// A grey picture, 0 black to 255 white, rows packed.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// What draws the human-readable line: the window's label font, laid out and
// rasterised exactly as the window does.
class LabelPainter {
public:
    virtual ~LabelPainter() = default;
    // Whether this painter can draw every character of the text.
    virtual bool covers(std::u16string_view text) const = 0;
    // Width in pixels of the text as drawn.
    virtual int textWidth(std::u16string_view text) const = 0;
    // Distance from the top of a line of text to its baseline.
    virtual int ascent() const = 0;
    // Draws the text in black with its top-left corner at (x, y).
    virtual void drawText(Bitmap& bitmap, int x, int y, std::u16string_view text) const = 0;
};

} // namespace zebrix::cli
