// Code 39 with the optional modulo-43 check character.
#include "Pattern.h"
#include "Symbologies.h"
#include "Text.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace zebrix {

namespace {

// Index = character value; bar, space, bar, ... ("0" narrow, "1" wide).
constexpr std::array<std::string_view, 44> kPatterns = {
    "000110100", "100100001", "001100001", "101100000", "000110001", // 0-4
    "100110000", "001110000", "000100101", "100100100", "001100100", // 5-9
    "100001001", "001001001", "101001000", "000011001", "100011000", // A-E
    "001011000", "000001101", "100001100", "001001100", "000011100", // F-J
    "100000011", "001000011", "101000010", "000010011", "100010010", // K-O
    "001010010", "000000111", "100000110", "001000110", "000010110", // P-T
    "110000001", "011000001", "111000000", "010010001", "110010000", // U-Y
    "011010000", "010000101", "110000100", "011000100", "010101000", // Z - . space $
    "010100010", "010001010", "000101010", "010010100", // / + % *
};

constexpr std::u16string_view kCharacters = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr int kStar = 43;
static_assert(kPatterns.size() == kCharacters.size(), "one pattern per character");
static_assert(kCharacters[kStar] == u'*');

// Value of an (already upper-cased) character, or -1. "*" is start/stop only.
int ValueOf(char32_t c)
{
    if (c >= u'0' && c <= u'9')
        return static_cast<int>(c - u'0');
    if (c >= u'A' && c <= u'Z')
        return static_cast<int>(c) - 55;
    switch (c) {
    case u'-': return 36;
    case u'.': return 37;
    case u' ': return 38;
    case u'$': return 39;
    case u'/': return 40;
    case u'+': return 41;
    case u'%': return 42;
    default: return -1;
    }
}

// Values of the ASCII characters after upper-casing, -1 where not encodable.
constexpr std::array<signed char, 128> MakeAsciiTable()
{
    std::array<signed char, 128> t{};
    for (int c = 0; c < 128; ++c) {
        const char16_t u = AsciiUpper(static_cast<char16_t>(c));
        int v = -1;
        if (u >= u'0' && u <= u'9')
            v = u - u'0';
        else if (u >= u'A' && u <= u'Z')
            v = u - 55;
        else if (u == u'-')
            v = 36;
        else if (u == u'.')
            v = 37;
        else if (u == u' ')
            v = 38;
        else if (u == u'$')
            v = 39;
        else if (u == u'/')
            v = 40;
        else if (u == u'+')
            v = 41;
        else if (u == u'%')
            v = 42;
        t[static_cast<std::size_t>(c)] = static_cast<signed char>(v);
    }
    return t;
}
constexpr auto kAscii = MakeAsciiTable();

// Value of a character outside ASCII once upper-cased (only a few letters
// turn into A-Z), or -1.
int NonAsciiValue(char16_t c)
{
    const std::u16string upper = ToUpper(std::u16string_view(&c, 1));
    return upper.size() == 1 ? ValueOf(upper[0]) : -1;
}

void AppendCharacter(std::string& pattern, int value)
{
    pattern.append(kPatterns[static_cast<std::size_t>(value)]);
    pattern.push_back('0'); // inter-character gap
}

} // namespace

Drawing EncodeCode39(std::u16string_view text, const Options& options, std::int64_t visibleWidth)
{
    if (text.empty())
        return BlankDrawing();

    const std::size_t n = text.size();
    const std::size_t shown = VisibleCharacters(n, 16 + 5 * options.widenSpaces, visibleWidth);
    std::vector<signed char> values;
    values.reserve(shown);
    const double x = static_cast<double>(static_cast<std::int64_t>(n) * (5 + 2 * options.widenSpaces) + 35);
    const std::size_t labelLength = LabelLength(x, n + 1, visibleWidth);
    std::u16string label;
    label.reserve(labelLength);
    std::uint64_t sum = 0;

    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        const int v = c < 0x80 ? kAscii[c] : NonAsciiValue(c);
        if (v < 0)
            return MessageDrawing(ToUpper(CharacterAt(text, i)), kCode39Invalid);
        sum += static_cast<std::uint64_t>(v);
        if (i < labelLength)
            label.push_back(kCharacters[static_cast<std::size_t>(v)]);
        if (i < shown)
            values.push_back(static_cast<signed char>(v));
    }

    std::string pattern;
    pattern.reserve(10 * (shown + 3));
    pattern.append(kPatterns[kStar]);
    pattern.push_back('0');
    for (signed char v : values)
        AppendCharacter(pattern, v);
    if (options.addCheck == 1) {
        const auto check = static_cast<int>(sum % 43);
        if (n < labelLength)
            label.push_back(kCharacters[static_cast<std::size_t>(check)]);
        if (shown == n)
            AppendCharacter(pattern, check);
    }
    if (shown == n)
        pattern.append(kPatterns[kStar]);

    Drawing drawing = StartBars(options);
    AddPattern(drawing, pattern, WidthRule::NarrowWide, options, visibleWidth, shown == n);
    SetLabel(drawing, std::move(label), x, options, visibleWidth);
    return drawing;
}

} // namespace zebrix
