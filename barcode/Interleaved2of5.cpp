// Interleaved 2 of 5: digits only, a leading zero for an even length, and the
// optional modulo-10 check digit.
#include "Pattern.h"
#include "Symbologies.h"
#include "Text.h"

#include <array>
#include <string>
#include <utility>

namespace zebrix {

namespace {

constexpr std::array<std::string_view, 10> kDigits
    = {"00110", "10001", "01001", "11000", "00101", "10100", "01100", "00011", "10010", "01010"};
constexpr std::string_view kStart = "0000";
constexpr std::string_view kStop = "100";

} // namespace

Drawing EncodeInterleaved2of5(std::u16string_view text, const Options& options, std::int64_t visibleWidth)
{
    if (text.empty())
        return BlankDrawing();

    const std::size_t n = text.size();
    const bool withCheck = options.addCheck == 1;
    // A leading zero makes the count of digits, check digit included, even.
    const bool leadingZero = (!withCheck && n % 2 == 1) || (withCheck && n % 2 == 0);
    const std::size_t lead = leadingZero ? 1 : 0;

    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9')
            return MessageDrawing(CharacterAt(text, i), kInterleavedInvalid);
        const std::size_t k = lead + i + 1; // position in the digits drawn, from 1
        sum += static_cast<std::uint64_t>(c - u'0') * (k % 2 == 1 ? 3u : 1u);
    }
    const int check = static_cast<int>((10 - sum % 10) % 10);
    const std::size_t m = lead + n + (withCheck ? 1 : 0); // always even

    auto digitAt = [&](std::size_t j) -> int { // j from 0 in the digits drawn
        if (j < lead)
            return 0;
        if (j < lead + n)
            return text[j - lead] - u'0';
        return check;
    };

    const std::size_t pairs = VisibleCharacters(m / 2, 18 + 5 * options.widenSpaces, visibleWidth);
    std::string pattern;
    pattern.reserve(kStart.size() + 10 * pairs + kStop.size());
    pattern.append(kStart);
    for (std::size_t p = 0; p < pairs; ++p) {
        const std::string_view bars = kDigits[static_cast<std::size_t>(digitAt(2 * p))];
        const std::string_view spaces = kDigits[static_cast<std::size_t>(digitAt(2 * p + 1))];
        for (std::size_t j = 0; j < 5; ++j) {
            pattern.push_back(bars[j]);
            pattern.push_back(spaces[j]);
        }
    }
    if (pairs == m / 2)
        pattern.append(kStop);

    Drawing drawing = StartBars(options);
    AddPattern(drawing, pattern, WidthRule::NarrowWide, options, visibleWidth, pairs == m / 2);
    const double x = (1.3 * options.widenSpaces + 2) * static_cast<double>(m) + 20;
    std::u16string label(LabelLength(x, m, visibleWidth), u'0');
    for (std::size_t j = 0; j < label.size(); ++j)
        label[j] = static_cast<char16_t>(u'0' + digitAt(j));
    SetLabel(drawing, std::move(label), x, options, visibleWidth);
    return drawing;
}

} // namespace zebrix
