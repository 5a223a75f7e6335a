#include "Pattern.h"

#include <string>

namespace zebrix {

int ElementWidth(char digit, WidthRule rule)
{
    const int d = (digit >= '0' && digit <= '9') ? digit - '0' : 0;
    return rule == WidthRule::NarrowWide ? 2 * d + 1 : d;
}

std::int64_t RenderPattern(Surface& surface, std::string_view pattern, WidthRule rule,
                           const Options& options, std::int64_t x, std::int64_t visibleWidth)
{
    const auto bottom = static_cast<float>(BarBottom(options));
    const auto top = static_cast<float>(kBarTop);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (x >= visibleWidth)
            break;
        const int w = ElementWidth(pattern[i], rule);
        if (i % 2 == 0) { // odd position counted from 1: a bar
            for (int k = 0; k < w; ++k, ++x) {
                if (x < visibleWidth)
                    surface.DrawLine(static_cast<float>(x), top, static_cast<float>(x), bottom, 0);
            }
        } else {
            x += w + options.widenSpaces;
        }
    }
    return x;
}

std::size_t VisibleCharacters(std::size_t length, int minBlockWidth, std::int64_t visibleWidth)
{
    if (visibleWidth == kNoLimit)
        return length;
    if (visibleWidth <= kFirstBarX)
        return 0;
    // One spare character covers a block that straddles the edge.
    const auto fit = static_cast<std::size_t>((visibleWidth - kFirstBarX) / minBlockWidth) + 1;
    return fit < length ? fit : length;
}

void PrintLabel(Surface& surface, double x, std::u16string_view text, std::int64_t visibleWidth)
{
    if (x >= static_cast<double>(visibleWidth))
        return;
    surface.SetTextPosition(static_cast<float>(x), static_cast<float>(kLabelY));
    surface.PrintText(text);
}

void PrintMessage(Surface& surface, std::u16string_view character, std::u16string_view message)
{
    std::u16string line;
    line.reserve(character.size() + message.size());
    line.append(character);
    line.append(message);
    surface.PrintText(line);
}

} // namespace zebrix
