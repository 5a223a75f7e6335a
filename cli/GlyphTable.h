#pragma once
#include "Bitmap.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zebrix::cli {

// The label font of the window, for the printable ASCII characters (32 to
// 126, all that a drawable label can hold): each glyph's pixels and advance,
// the kerning of every pair and the ascent, as Qt lays them out. Drawing a
// text from it gives the window's pixels without starting Qt's font machinery.
class GlyphTable : public LabelPainter {
public:
    static constexpr char16_t kFirst = 32;
    static constexpr char16_t kLast = 126;
    static constexpr int kCount = kLast - kFirst + 1;

    struct Glyph {
        int advance = 0;
        int left = 0; // first column, from the pen position
        int top = 0;  // first row, from the top of the line
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> bits; // width * height, 1 black
    };

    std::string fontName;
    int lineAscent = 0;
    std::array<Glyph, kCount> glyphs;
    std::vector<std::int16_t> kerning = std::vector<std::int16_t>(static_cast<std::size_t>(kCount) * kCount, 0);

    int kern(char16_t a, char16_t b) const { return kerning[static_cast<std::size_t>(a - kFirst) * kCount + (b - kFirst)]; }
    void setKern(char16_t a, char16_t b, int k) { kerning[static_cast<std::size_t>(a - kFirst) * kCount + (b - kFirst)] = static_cast<std::int16_t>(k); }
    const Glyph& glyph(char16_t c) const { return glyphs[static_cast<std::size_t>(c - kFirst)]; }
    Glyph& glyph(char16_t c) { return glyphs[static_cast<std::size_t>(c - kFirst)]; }

    bool covers(std::u16string_view text) const override;
    int textWidth(std::u16string_view text) const override;
    int ascent() const override { return lineAscent; }
    void drawText(Bitmap& bitmap, int x, int y, std::u16string_view text) const override;

    // Binary form, with the stamps that tell when it is out of date.
    std::string serialize(const std::string& stamps) const;
    // Nothing for a damaged or foreign file.
    static std::optional<GlyphTable> parse(std::string_view bytes, std::string* stamps = nullptr);
    // The body of a file with its checksum appended (what serialize ends with).
    static std::string seal(std::string body);
};

} // namespace zebrix::cli
