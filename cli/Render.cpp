#include "Render.h"

#include "barcode/Symbologies.h"
#include "qtsurface/ImageSurface.h"

namespace zebrix::cli {

namespace {

// Qt's widths of the labels, for the image width; the window's surface
// draws them itself.
class QtWidths : public LabelPainter {
public:
    bool covers(std::u16string_view) const override { return true; }
    int textWidth(std::u16string_view text) const override { return ImageSurface::textWidth(text); }
    int ascent() const override { return 0; }
    void drawText(Bitmap&, int, int, std::u16string_view) const override {}
};

} // namespace

RenderResult RenderBarcode(const RenderRequest& request)
{
    RenderResult result;
    const Measure measure = MeasureBarcode(request);
    if (!measure.drawable) {
        result.message = QString::fromStdU16String(measure.message);
        return result;
    }
    std::string why;
    const auto width = ImageWidth(request, measure, QtWidths(), why);
    if (!width) {
        result.message = QString::fromStdString(why);
        return result;
    }
    ImageSurface surface(*width, request.height);
    GenerateBarcode(surface, request.typeCode, request.text, request.options, surface.width());
    result.image = surface.image();
    return result;
}

} // namespace zebrix::cli
