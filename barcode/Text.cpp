#include "Text.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace zebrix {

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One fixed locale for case mapping, so that the drawing does not depend on
// the environment the program was started in.
locale_t CaseLocale()
{
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "C", locale_t(nullptr));
        return l;
    }();
    return loc;
}

char32_t UpperCodePoint(char32_t c)
{
    if (c < 0x80)
        return AsciiUpper(static_cast<char16_t>(c));
    if (c >= 0xD800 && c <= 0xDFFF) // lone surrogate: not a character
        return c;
    const locale_t loc = CaseLocale();
    if (!loc)
        return c;
    const auto u = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
    return u <= 0x10FFFF ? u : c;
}

void AppendCodePoint(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

} // namespace

std::u16string_view CharacterAt(std::u16string_view text, std::size_t i)
{
    if (i + 1 < text.size() && IsHigh(text[i]) && IsLow(text[i + 1]))
        return text.substr(i, 2);
    return text.substr(i, 1);
}

std::u16string ToUpper(std::u16string_view character)
{
    std::u16string out;
    if (character.size() == 2 && IsHigh(character[0]) && IsLow(character[1])) {
        const char32_t cp = 0x10000 + ((char32_t(character[0]) - 0xD800) << 10) + (char32_t(character[1]) - 0xDC00);
        AppendCodePoint(out, UpperCodePoint(cp));
        return out;
    }
    for (char16_t c : character)
        AppendCodePoint(out, UpperCodePoint(c));
    return out;
}

} // namespace zebrix
