#pragma once
#include "Options.h"
#include "Surface.h"

#include <cstdint>
#include <string_view>

namespace zebrix {

// How a digit of an element-pattern string turns into a width.
enum class WidthRule {
    NarrowWide,  // "0" narrow (1 unit), "1" wide (3 units): 2d + 1
    ModuleCount, // the digit is the width in modules
};

// Width in units of one element digit; any non-digit counts as 0.
int ElementWidth(char digit, WidthRule rule);

// Draws an element-pattern string from pen position x: odd positions are bars
// (one line per unit, y from 1 to 58 - 8L), even positions are spaces
// (width + P). Lines at x >= visibleWidth are skipped, and rendering stops
// once the pen has passed it. Returns the pen position after the last element
// (or where rendering stopped).
std::int64_t RenderPattern(Surface& surface, std::string_view pattern, WidthRule rule,
                           const Options& options, std::int64_t x,
                           std::int64_t visibleWidth = kNoLimit);

// How many leading characters of a text can reach the visible area when each
// character block is at least minBlockWidth columns wide. Characters past this
// count start beyond visibleWidth and need no pattern at all.
std::size_t VisibleCharacters(std::size_t length, int minBlockWidth, std::int64_t visibleWidth);

// Puts the human-readable line at (x, 50), unless it would start past the
// visible area.
void PrintLabel(Surface& surface, double x, std::u16string_view text, std::int64_t visibleWidth);

// Reports a character that cannot be encoded: the message alone, at the text
// position, which is still (0, 0) after the clear.
void PrintMessage(Surface& surface, std::u16string_view character, std::u16string_view message);

} // namespace zebrix
