// Code 128, code set B only, with its modulo-103 check character.
#include "Pattern.h"
#include "Symbologies.h"

#include <array>
#include <string>

namespace zebrix {

namespace {

// Symbol character widths (bar, space, bar, space, bar, space) by value.
constexpr std::array<std::string_view, 107> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", // 0
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", // 10
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", // 20
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313", // 30
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331", // 40
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111", // 50
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214", // 60
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", // 70
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141", // 80
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141", // 90
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112", // 100
};
constexpr int kStartB = 104;
constexpr int kStop = 106;

} // namespace

Drawing EncodeCode128(std::u16string_view text, const Options& options, std::int64_t visibleWidth)
{
    if (text.empty())
        return BlankDrawing();

    const std::size_t n = text.size();
    // Weights are taken modulo 103 (at most 102 x 94 per character), so the
    // 64-bit sum cannot overflow for any text and the check is always right.
    std::uint64_t sum = 0;
    std::uint64_t weight = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < u' ' || c > u'~')
            return MessageDrawing({}, kCode128Invalid);
        if (++weight == 103)
            weight = 0;
        sum += weight * static_cast<std::uint64_t>(c - u' ');
    }
    const auto check = static_cast<std::size_t>((kStartB + sum) % 103);

    const std::size_t shown = VisibleCharacters(n, 11 + 3 * options.widenSpaces, visibleWidth);
    std::string pattern;
    pattern.reserve(6 * (shown + 2) + 7);
    pattern.append(kPatterns[kStartB]);
    for (std::size_t i = 0; i < shown; ++i)
        pattern.append(kPatterns[static_cast<std::size_t>(text[i] - u' ')]);
    if (shown == n) {
        pattern.append(kPatterns[check]);
        pattern.append(kPatterns[kStop]);
    }

    Drawing drawing = StartBars(options);
    AddPattern(drawing, pattern, WidthRule::ModuleCount, options, visibleWidth, shown == n);
    const double x = 30.0 + static_cast<double>(n) * (3 + 2 * options.widenSpaces);
    SetLabel(drawing, std::u16string(text.substr(0, LabelLength(x, n, visibleWidth))), x, options, visibleWidth);
    return drawing;
}

} // namespace zebrix
