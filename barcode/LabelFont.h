#pragma once
#include <cstddef>
#include <string_view>

namespace zebrix {

// The font of the human-readable line, compiled in: the glyphs of the
// printable ASCII characters (all that a label can hold) as pixels, with the
// pairs that sit closer, so that a label is drawn the same way everywhere,
// whatever fonts a machine has.
namespace label_font {

constexpr char16_t kFirst = 32;
constexpr char16_t kLast = 126;
constexpr int kCount = kLast - kFirst + 1;

struct Glyph {
    int advance; // pen movement after the glyph
    int left; // first column, from the pen
    int top; // first row, from the top of the line
    int width;
    int height;
    const char* rows; // height rows of width characters, '#' black, each followed by a blank
    bool black(int x, int y) const { return rows[static_cast<std::size_t>(y * (width + 1) + x)] == '#'; }
};

struct Kern {
    char16_t first, second;
    int offset;
};

extern const int kAscent;
extern const Glyph kGlyphs[kCount];
extern const Kern kKerning[];
extern const std::size_t kKerningCount;

} // namespace label_font

class LabelFont {
public:
    // Whether every character of the text has a glyph.
    static bool Covers(std::u16string_view text);
    // Width in pixels of the text as drawn (characters without a glyph count as nothing).
    static int TextWidth(std::u16string_view text);
    // Distance from the top of a line to its baseline.
    static int Ascent() { return label_font::kAscent; }

    // Draws the text with the top-left of its line at (x, y) on a raster
    // (width(), height(), setBlack(x, y)), clipped to it.
    template <class Raster> static void Draw(Raster& raster, int x, int y, std::u16string_view text);

private:
    static int KernOf(char16_t first, char16_t second);
    static bool HasGlyph(char16_t c) { return c >= label_font::kFirst && c <= label_font::kLast; }
    static constexpr int kWidest = 64; // no glyph reaches further than this from its pen
};

template <class Raster> void LabelFont::Draw(Raster& raster, int x, int y, std::u16string_view text)
{
    long long pen = x;
    char16_t previous = 0;
    for (const char16_t c : text) {
        if (pen > static_cast<long long>(raster.width()) + kWidest)
            break; // the rest starts past the right edge
        if (!HasGlyph(c))
            continue;
        pen += KernOf(previous, c);
        previous = c;
        const label_font::Glyph& g = label_font::kGlyphs[c - label_font::kFirst];
        for (int gy = 0; gy < g.height; ++gy) {
            const long long py = static_cast<long long>(y) + g.top + gy;
            if (py < 0 || py >= raster.height())
                continue;
            for (int gx = 0; gx < g.width; ++gx) {
                const long long px = pen + g.left + gx;
                if (g.black(gx, gy) && px >= 0 && px < raster.width())
                    raster.setBlack(static_cast<int>(px), static_cast<int>(py));
            }
        }
        pen += g.advance;
    }
}

} // namespace zebrix
