#pragma once
#include "Bitmap.h"
#include "barcode/Surface.h"

#include <string>
#include <vector>

namespace zebrix::cli {

// The barcode surface of the command line: the window's geometry and
// clipping on a black-and-white bitmap, labels through a LabelPainter. It
// also remembers what it drew, for the vector (SVG) output.
class BitmapSurface : public Surface {
public:
    struct Column {
        int x, top, bottom; // rows top..bottom, both included, already clipped
    };
    struct Label {
        int x, y;
        std::u16string text;
    };

    BitmapSurface(int width, int height, const LabelPainter& painter);

    void Clear() override;
    void DrawLine(float x1, float y1, float x2, float y2, long colour) override;
    void SetTextPosition(float x, float y) override;
    void PrintText(std::u16string_view text) override;

    const Bitmap& bitmap() const { return bitmap_; }
    Bitmap takeBitmap() { return std::move(bitmap_); }
    const std::vector<Column>& columns() const { return columns_; }
    const std::vector<Label>& labels() const { return labels_; }

    // The window's rounding of a surface coordinate to a pixel.
    static int ToPixel(float v);

private:
    Bitmap bitmap_;
    const LabelPainter& painter_;
    int textX_ = 0;
    int textY_ = 0;
    std::vector<Column> columns_;
    std::vector<Label> labels_;
};

} // namespace zebrix::cli
