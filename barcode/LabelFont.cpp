#include "LabelFont.h"

#include <algorithm>
#include <array>

namespace zebrix {

namespace {

using Table = std::array<signed char, static_cast<std::size_t>(label_font::kCount) * label_font::kCount>;

const Table& Kerning()
{
    static const Table table = [] {
        Table t{};
        for (std::size_t i = 0; i < label_font::kKerningCount; ++i) {
            const auto& k = label_font::kKerning[i];
            t[static_cast<std::size_t>(
                (k.first - label_font::kFirst) * label_font::kCount + (k.second - label_font::kFirst))]
                = static_cast<signed char>(k.offset);
        }
        return t;
    }();
    return table;
}

} // namespace

bool LabelFont::Covers(std::u16string_view text) { return std::all_of(text.begin(), text.end(), HasGlyph); }

int LabelFont::KernOf(char16_t first, char16_t second)
{
    if (!HasGlyph(first) || !HasGlyph(second))
        return 0;
    return Kerning()[static_cast<std::size_t>(
        (first - label_font::kFirst) * label_font::kCount + (second - label_font::kFirst))];
}

int LabelFont::TextWidth(std::u16string_view text)
{
    long long w = 0;
    char16_t previous = 0;
    for (const char16_t c : text) {
        if (!HasGlyph(c))
            continue;
        w += KernOf(previous, c) + label_font::kGlyphs[c - label_font::kFirst].advance;
        previous = c;
    }
    return static_cast<int>(std::min<long long>(w, 1LL << 30));
}

} // namespace zebrix
