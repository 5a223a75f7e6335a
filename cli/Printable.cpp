#include "Printable.h"

#include "barcode/Utf.h"

#include <cstdio>

namespace zebrix::cli {

bool ShownByCode(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x115F || c == 0x1160
        || c == 0x17B4 || c == 0x17B5 || (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F)
        || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F)
        || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFB) || c == 0xFFFE || c == 0xFFFF
        || (c >= 0xD800 && c <= 0xDFFF) || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A)
        || (c >= 0xE0000 && c <= 0xE0FFF)
        || (c & 0xFFFE) == 0xFFFE
        // blanks other than the space, and characters for private use
        || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000
        || (c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000;
}

std::string Printable(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    std::size_t i = 0;
    while (i < in.size()) {
        char32_t c = 0;
        const int length = DecodeUtf8(in, i, c);
        char code[16];
        if (length == 0) {
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(in[i]));
            out += code;
            ++i;
            continue;
        }
        if (ShownByCode(c)) {
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            out += code;
        } else {
            out.append(in, i, static_cast<std::size_t>(length));
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace zebrix::cli
