// Codabar between the start and stop character "a", no check character.
#include "Pattern.h"
#include "Symbologies.h"
#include "Text.h"

#include <array>
#include <string>
#include <vector>

namespace zebrix {

namespace {

// 0-9, "-", "$", ":", "/", ".", "+", "a", "b", "c", "d".
constexpr std::array<std::string_view, 20> kPatterns
    = {"0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001", "0100100", "0110000", "1001000",
        "0001100", "0011000", "1000101", "1010001", "1010100", "0010101", "0011010", "0101001", "0001011", "0001110"};
constexpr int kA = 16;

constexpr std::array<signed char, 128> MakeIndexTable()
{
    std::array<signed char, 128> t{};
    for (auto& v : t)
        v = -1;
    for (int d = 0; d < 10; ++d)
        t['0' + d] = static_cast<signed char>(d);
    for (int c = 'a'; c <= 'd'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<signed char>(c - 81);
    t['-'] = 10;
    t['$'] = 11;
    t[':'] = 12;
    t['/'] = 13;
    t['.'] = 14;
    t['+'] = 15;
    return t;
}
constexpr auto kIndex = MakeIndexTable();

int IndexOf(char16_t c) { return c < 0x80 ? kIndex[c] : -1; }

} // namespace

Drawing EncodeCodabar(std::u16string_view text, const Options& options, std::int64_t visibleWidth)
{
    if (text.empty())
        return BlankDrawing();

    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i)
        if (IndexOf(text[i]) < 0)
            return MessageDrawing(CharacterAt(text, i), kCodabarInvalid);

    const std::size_t shown = VisibleCharacters(n, 12 + 4 * options.widenSpaces, visibleWidth);
    std::string pattern;
    pattern.reserve(8 * (shown + 2));
    pattern.append(kPatterns[kA]);
    pattern.push_back('0');
    for (std::size_t i = 0; i < shown; ++i) {
        pattern.append(kPatterns[static_cast<std::size_t>(IndexOf(text[i]))]);
        pattern.push_back('0');
    }
    if (shown == n)
        pattern.append(kPatterns[kA]);

    Drawing drawing = StartBars(options);
    AddPattern(drawing, pattern, WidthRule::NarrowWide, options, visibleWidth, shown == n);
    const double x = 30.0 + static_cast<double>(n) * (3 + 2 * options.widenSpaces);
    SetLabel(drawing, std::u16string(text.substr(0, LabelLength(x, n, visibleWidth))), x, options, visibleWidth);
    return drawing;
}

} // namespace zebrix
