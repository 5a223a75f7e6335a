#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace zebrix {

// The character that starts at position i of a UTF-16 text, as the text to
// show in a message: one code unit, or both halves of a surrogate pair.
std::u16string_view CharacterAt(std::u16string_view text, std::size_t i);

// Upper case of one UTF-16 character (the simple Unicode mapping, the same
// whatever the user's locale). a-z become A-Z; among other letters only
// U+0131 (dotless i) and U+017F (long s) turn into basic Latin ones.
std::u16string ToUpper(std::u16string_view character);

// ASCII fast path of ToUpper for one code unit below 0x80.
constexpr char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

} // namespace zebrix
