#include "Layout.h"

#include "barcode/Symbologies.h"

#include <algorithm>
#include <cmath>

namespace zebrix::cli {

namespace {

// Follows a drawing without keeping it.
class ExtentSurface : public Surface {
public:
    void Clear() override
    {
        lines = 0;
        rightmost = -1;
        texts.clear();
        position = 0;
    }
    void DrawLine(float x1, float, float x2, float, long) override
    {
        ++lines;
        rightmost = std::max<double>(rightmost, std::max(x1, x2));
    }
    void SetTextPosition(float x, float) override { position = x; }
    void PrintText(std::u16string_view text) override { texts.push_back({position, std::u16string(text)}); }

    long long lines = 0;
    double rightmost = -1;
    float position = 0;
    std::vector<Measure::Printed> texts;
};

} // namespace

Measure MeasureBarcode(const RenderRequest& request)
{
    Measure m;
    ExtentSurface extent;
    GenerateBarcode(extent, request.typeCode, request.text, request.options, kMaxWidth + 1);
    if (extent.lines == 0) {
        m.message = extent.texts.empty() ? u"nothing to draw" : extent.texts.front().text;
        return m;
    }
    m.drawable = true;
    m.rightmost = extent.rightmost;
    m.labels = std::move(extent.texts);
    return m;
}

std::optional<int> ImageWidth(const RenderRequest& request, const Measure& measure, const LabelPainter& painter,
                              std::string& why)
{
    if (request.width > 0)
        return request.width;
    double end = measure.rightmost + 1 + 20;
    for (const auto& t : measure.labels)
        end = std::max(end, std::floor(static_cast<double>(t.x) + 0.5) + painter.textWidth(t.text));
    if (end > kMaxWidth) {
        why = "the barcode is " + std::to_string(static_cast<long long>(end)) + " pixels wide; images are at most "
            + std::to_string(kMaxWidth) + " pixels wide (-w crops it)";
        return std::nullopt;
    }
    return static_cast<int>(end);
}

std::u16string TextReadBack(const RenderRequest& request)
{
    // The label holds the drawn characters; ask for it whatever L is.
    ExtentSurface probe;
    Options o = request.options;
    o.addLabel = 1;
    GenerateBarcode(probe, request.typeCode, request.text, o, kNoLimit);
    if (probe.lines == 0 || probe.texts.empty())
        return {};
    std::u16string text = probe.texts.back().text;
    if (request.typeCode == Symbology::Code39 && o.addCheck == 1 && !text.empty())
        text.pop_back(); // the check character is checked by the reader, not returned
    return text;
}

BitmapSurface DrawBarcode(const RenderRequest& request, int width, const LabelPainter& painter)
{
    BitmapSurface surface(width, request.height, painter);
    GenerateBarcode(surface, request.typeCode, request.text, request.options, surface.bitmap().width);
    return surface;
}

} // namespace zebrix::cli
