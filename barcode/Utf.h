#pragma once
#include <string>
#include <string_view>

namespace zebrix {

// The character that starts at in[at], strictly decoded, and the number of
// bytes it takes; 0 where no character starts (past the end, an overlong form, a
// surrogate, a code point past U+10FFFF, a cut sequence, a lone byte).
int DecodeUtf8(std::string_view in, std::size_t at, char32_t& c);

// Strict UTF-8 to UTF-16: false for overlong forms, surrogates, code points
// past U+10FFFF and cut sequences (out then holds what came before).
bool Utf8ToUtf16(std::string_view in, std::u16string& out);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view in);

} // namespace zebrix
