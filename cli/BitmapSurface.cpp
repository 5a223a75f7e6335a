#include "BitmapSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace zebrix::cli {

BitmapSurface::BitmapSurface(int width, int height, const LabelPainter& painter)
    : bitmap_(std::max(width, 1), std::max(height, 1)), painter_(painter)
{
}

int BitmapSurface::ToPixel(float v)
{
    // Whole numbers, nearly all that the encoders pass, are their own pixel.
    if (v > -1e9f && v < 1e9f) {
        const int whole = static_cast<int>(v);
        if (static_cast<float>(whole) == v)
            return whole;
    }
    if (!std::isfinite(v))
        return v > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    const double r = std::floor(static_cast<double>(v) + 0.5);
    return static_cast<int>(std::clamp(r, -1e9, 1e9));
}

void BitmapSurface::Clear()
{
    std::fill(bitmap_.pixels.begin(), bitmap_.pixels.end(), std::uint8_t{0});
    columns_.clear();
    labels_.clear();
    textX_ = 0;
    textY_ = 0;
}

void BitmapSurface::DrawLine(float x1, float y1, float x2, float y2, long colour)
{
    // The command line draws black on white: any colour but white is black.
    if ((static_cast<unsigned long>(colour) & 0xFFFFFF) == 0xFFFFFF)
        return;
    const int px1 = ToPixel(x1);
    const int px2 = ToPixel(x2);
    const int py1 = ToPixel(y1);
    const int py2 = ToPixel(y2);
    if (px1 == px2) {
        // Vertical: both end points included, as a one-pixel pen draws it.
        if (px1 < 0 || px1 >= bitmap_.width)
            return;
        const int top = std::max(std::min(py1, py2), 0);
        const int bottom = std::min(std::max(py1, py2), bitmap_.height - 1);
        if (top > bottom)
            return;
        std::uint8_t* p = bitmap_.pixels.data() + static_cast<std::size_t>(top) * static_cast<std::size_t>(bitmap_.width) + static_cast<std::size_t>(px1);
        for (int y = top; y <= bottom; ++y, p += bitmap_.width)
            *p = 1;
        columns_.push_back({px1, top, bottom});
        return;
    }
    // Any other line (the encoders draw none): Bresenham, clipped.
    long long x = px1, y = py1;
    const long long dx = std::llabs(static_cast<long long>(px2) - px1);
    const long long dy = -std::llabs(static_cast<long long>(py2) - py1);
    const int sx = px1 < px2 ? 1 : -1;
    const int sy = py1 < py2 ? 1 : -1;
    long long err = dx + dy;
    for (long long steps = 0; steps <= dx - dy; ++steps) {
        if (x >= 0 && x < bitmap_.width && y >= 0 && y < bitmap_.height)
            bitmap_.setBlack(static_cast<int>(x), static_cast<int>(y));
        if (x == px2 && y == py2)
            break;
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void BitmapSurface::SetTextPosition(float x, float y)
{
    textX_ = ToPixel(x);
    textY_ = ToPixel(y);
}

void BitmapSurface::PrintText(std::u16string_view text)
{
    const long long room = static_cast<long long>(bitmap_.width) - textX_;
    if (room <= 0 || textY_ >= bitmap_.height)
        return;
    // Characters that start past the right edge cannot show (every one is at
    // least a pixel wide); the slack covers combining marks.
    const auto keep = static_cast<std::size_t>(std::min<long long>(4 * room + 64, static_cast<long long>(text.size())));
    text = text.substr(0, keep);
    painter_.drawText(bitmap_, textX_, textY_, text);
    labels_.push_back({textX_, textY_, std::u16string(text)});
}

} // namespace zebrix::cli
