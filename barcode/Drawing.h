#pragma once
#include "Options.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zebrix {

// What a barcode looks like, as plain data: every output (the window's
// picture, the command line's files, SVG, the read-back check) is made from
// this one value. Units are pixels, origin at the top-left, y downwards.
struct Drawing {
    enum class Kind {
        Unchanged, // not a symbology: whatever was shown stays
        Blank, // empty text: the cleared picture
        Message, // a character that cannot be encoded: one line of text at (0, 0)
        Bars, // the barcode
    };
    Kind kind = Kind::Unchanged;

    // Kind::Message: the character, then the symbology's words.
    std::u16string message;

    // Kind::Bars: the x of every black column left of the visible width, in
    // increasing order; each covers the rows top to bottom, both included.
    std::vector<std::int32_t> columns;
    int top = kBarTop;
    int bottom = 58;
    // The pen after the last element: the barcode's right end when nothing
    // was cut, else a point past the visible width.
    std::int64_t end = kFirstBarX;
    // Whether part of the bars lies at or past the visible width.
    bool cut = false;

    // The human-readable line: the characters the bars hold (upper-cased,
    // with the check character or leading zero), whether or not it is shown;
    // only as many as can reach the visible width (all of them when the
    // bars are not cut).
    std::u16string label;
    double labelX = 0; // its left edge (fractional for Interleaved 2 of 5)
    bool labelShown = false; // "Ajout du label" ticked, and it starts inside the visible width

    // The label's left edge on the pixel grid, rounded as every output rounds it.
    int labelPixelX() const;
};

// Validates the whole text and lays out its barcode from x = 20. A character
// the symbology cannot take gives a Message, the empty text a Blank, a value
// that is no symbology Unchanged. Nothing at or past visibleWidth is laid
// out, but the text is always checked to its end.
Drawing Encode(
    Symbology symbology, std::u16string_view text, const Options& options, std::int64_t visibleWidth = kNoLimit);

} // namespace zebrix
