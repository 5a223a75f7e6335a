#pragma once
#include "Drawing.h"
#include "LabelFont.h"

#include <algorithm>
#include <cstdint>

namespace zebrix {

// Puts the bars and the label of a drawing on a raster: anything with
// width(), height() and setBlack(x, y). Every picture of a barcode, the
// window's and the command line's, is painted by this one function. A
// message is not painted here: the window writes it with its own font, the
// command line prints it.
template <class Raster> void PaintBars(const Drawing& drawing, Raster& raster)
{
    if (drawing.kind != Drawing::Kind::Bars)
        return;
    const int top = std::max(drawing.top, 0);
    const int bottom = std::min(drawing.bottom, raster.height() - 1);
    for (const std::int32_t x : drawing.columns) {
        if (x < 0 || x >= raster.width())
            continue;
        for (int y = top; y <= bottom; ++y)
            raster.setBlack(x, y);
    }
    if (!drawing.labelShown)
        return;
    const int x = drawing.labelPixelX();
    const long long room = static_cast<long long>(raster.width()) - x;
    if (room <= 0 || kLabelY >= raster.height())
        return;
    LabelFont::Draw(raster, x, kLabelY, drawing.label); // stops at the right edge
}

} // namespace zebrix
