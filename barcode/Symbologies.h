#pragma once
#include "Drawing.h"

namespace zebrix {

// One function per symbology; Encode() chooses among them.
Drawing EncodeCode39(std::u16string_view text, const Options& options, std::int64_t visibleWidth);
Drawing EncodeInterleaved2of5(std::u16string_view text, const Options& options, std::int64_t visibleWidth);
Drawing EncodeCode128(std::u16string_view text, const Options& options, std::int64_t visibleWidth);
Drawing EncodeCodabar(std::u16string_view text, const Options& options, std::int64_t visibleWidth);

// Error messages, as shown after the offending character.
inline constexpr std::u16string_view kCode39Invalid = u" : Caractère non valide !";
inline constexpr std::u16string_view kInterleavedInvalid = u" : Caractère non valide";
inline constexpr std::u16string_view kCode128Invalid = u" : Caractère(s) non valide(s)";
inline constexpr std::u16string_view kCodabarInvalid = u" : Caractère non valide";

} // namespace zebrix
