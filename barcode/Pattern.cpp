#include "Pattern.h"

#include "Symbologies.h"

#include <cmath>
#include <utility>

namespace zebrix {

int ElementWidth(char digit, WidthRule rule)
{
    const int d = (digit >= '0' && digit <= '9') ? digit - '0' : 0;
    return rule == WidthRule::NarrowWide ? 2 * d + 1 : d;
}

Drawing StartBars(const Options& options)
{
    Drawing drawing;
    drawing.kind = Drawing::Kind::Bars;
    drawing.top = kBarTop;
    drawing.bottom = BarBottom(options);
    return drawing;
}

void AddPattern(Drawing& drawing, std::string_view pattern, WidthRule rule, const Options& options,
    std::int64_t visibleWidth, bool complete)
{
    std::int64_t x = kFirstBarX;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (x >= visibleWidth) {
            drawing.cut = true; // a pattern always ends on a bar: more would follow
            break;
        }
        const int w = ElementWidth(pattern[i], rule);
        if (i % 2 == 0) { // odd position counted from 1: a bar
            for (int k = 0; k < w; ++k, ++x) {
                if (x < visibleWidth)
                    drawing.columns.push_back(static_cast<std::int32_t>(x));
                else
                    drawing.cut = true;
            }
        } else {
            x += w + options.widenSpaces;
        }
    }
    drawing.end = x;
    if (!complete)
        drawing.cut = true;
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

std::size_t LabelLength(double x, std::size_t length, std::int64_t visibleWidth)
{
    if (visibleWidth == kNoLimit)
        return length;
    if (x >= static_cast<double>(visibleWidth))
        return 0;
    const double room = static_cast<double>(visibleWidth) - x + 8;
    return room < static_cast<double>(length) ? static_cast<std::size_t>(room) : length;
}

void SetLabel(Drawing& drawing, std::u16string label, double x, const Options& options, std::int64_t visibleWidth)
{
    drawing.label = std::move(label);
    drawing.labelX = x;
    drawing.labelShown = options.addLabel == 1 && x < static_cast<double>(visibleWidth);
}

Drawing BlankDrawing()
{
    Drawing drawing;
    drawing.kind = Drawing::Kind::Blank;
    return drawing;
}

Drawing MessageDrawing(std::u16string_view character, std::u16string_view words)
{
    Drawing drawing;
    drawing.kind = Drawing::Kind::Message;
    drawing.message.reserve(character.size() + words.size());
    drawing.message.append(character);
    drawing.message.append(words);
    return drawing;
}

int Drawing::labelPixelX() const
{
    // The position passes through single precision, as the window's surface
    // always took it, then to the nearest pixel.
    const double r = std::floor(static_cast<double>(static_cast<float>(labelX)) + 0.5);
    return static_cast<int>(std::fmin(std::fmax(r, -1e9), 1e9));
}

Drawing Encode(Symbology symbology, std::u16string_view text, const Options& options, std::int64_t visibleWidth)
{
    switch (symbology) {
    case Symbology::Code39: return EncodeCode39(text, options, visibleWidth);
    case Symbology::Interleaved2of5: return EncodeInterleaved2of5(text, options, visibleWidth);
    case Symbology::Code128: return EncodeCode128(text, options, visibleWidth);
    case Symbology::Codabar: return EncodeCodabar(text, options, visibleWidth);
    }
    return {}; // not a symbology: Unchanged
}

} // namespace zebrix
