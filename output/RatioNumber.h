#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace zebrix {

// Reads the number at the start of the text typed in the ratio box.
//
// Blanks, tabs and line feeds are ignored wherever they stand. Then comes an
// optional sign and decimal digits with at most one "." as the decimal point
// (whatever the locale) and an optional exponent (E or D, optional sign,
// digits), or hexadecimal digits after "&H" or octal digits after "&O"
// (letters in either case). Reading stops at the first character that cannot
// continue the number; a text without a number reads as 0.
//
// The value is rounded to the nearest integer, halves to the even one, with
// all the digits typed taken into account. Nothing is returned when the
// result does not fit in a 16-bit signed integer.
std::optional<std::int16_t> ReadRatioNumber(std::u16string_view text);

} // namespace zebrix
