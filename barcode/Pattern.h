#pragma once
#include "Drawing.h"

#include <cstdint>
#include <string_view>

namespace zebrix {

// How a digit of an element pattern turns into a width.
enum class WidthRule {
    NarrowWide, // "0" narrow (1 unit), "1" wide (3 units): 2d + 1
    ModuleCount, // the digit is the width in modules
};

// Width in units of one element digit; any non-digit counts as 0.
int ElementWidth(char digit, WidthRule rule);

// A drawing of bars, its rows set by the options, before any column.
Drawing StartBars(const Options& options);

// Lays out an element pattern from x = 20: odd positions (from 1) are bars,
// one column per unit; even positions are spaces, widened by widenSpaces.
// Columns at or past visibleWidth are left out and mark the drawing as cut;
// complete tells whether the pattern holds the whole barcode (else it was
// shortened to what can show, and the drawing is cut too).
void AddPattern(Drawing& drawing, std::string_view pattern, WidthRule rule, const Options& options,
    std::int64_t visibleWidth, bool complete);

// How many leading characters of a text can reach the visible area when each
// character block is at least minBlockWidth columns wide.
std::size_t VisibleCharacters(std::size_t length, int minBlockWidth, std::int64_t visibleWidth);

// How many leading characters of a label of that length starting at x can
// show left of visibleWidth (every glyph moves the pen at least one pixel
// and reaches at most a few to its left): the rest is not worth building.
std::size_t LabelLength(double x, std::size_t length, std::int64_t visibleWidth);

// Sets the label at (x, 50), shown when the option asks for it and it starts
// inside the visible width.
void SetLabel(Drawing& drawing, std::u16string label, double x, const Options& options, std::int64_t visibleWidth);

// The drawing of the empty text.
Drawing BlankDrawing();

// The drawing for a character that cannot be encoded.
Drawing MessageDrawing(std::u16string_view character, std::u16string_view words);

} // namespace zebrix
