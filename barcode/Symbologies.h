#pragma once
#include "Options.h"
#include "Surface.h"

#include <cstdint>
#include <string_view>

namespace zebrix {

// Each encoder clears the surface, validates the whole text, then draws the
// bars from x = 20 and, with L = 1, the human-readable line at y = 50. A
// character it cannot encode leaves only a one-line message at (0, 0).
// Nothing past visibleWidth is drawn; the result on a surface of that width
// is the same as with no limit.
void DrawCode39(Surface& surface, std::u16string_view text, const Options& options,
                std::int64_t visibleWidth = kNoLimit);
void DrawInterleaved2of5(Surface& surface, std::u16string_view text, const Options& options,
                         std::int64_t visibleWidth = kNoLimit);
void DrawCode128(Surface& surface, std::u16string_view text, const Options& options,
                 std::int64_t visibleWidth = kNoLimit);
void DrawCodabar(Surface& surface, std::u16string_view text, const Options& options,
                 std::int64_t visibleWidth = kNoLimit);

// Calls the encoder of the symbology. A value outside the enumeration leaves
// the surface exactly as it was.
void GenerateBarcode(Surface& surface, Symbology symbology, std::u16string_view text,
                     const Options& options, std::int64_t visibleWidth = kNoLimit);

// Error messages, as printed after the offending character.
inline constexpr std::u16string_view kCode39Invalid = u" : Caractère non valide !";
inline constexpr std::u16string_view kInterleavedInvalid = u" : Caractère non valide";
inline constexpr std::u16string_view kCode128Invalid = u" : Caractère(s) non valide(s)";
inline constexpr std::u16string_view kCodabarInvalid = u" : Caractère non valide";

} // namespace zebrix
