#pragma once
#include "BitmapSurface.h"
#include "barcode/Options.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zebrix::cli {

struct RenderRequest {
    Symbology typeCode = Symbology::Code39;
    std::u16string text;
    Options options{0, 1, 0}; // the command line's defaults scan: P = 0
    int width = 0;            // 0: the bars, a 20-pixel quiet zone, and the whole label
    int height = 67;
};

constexpr int kMaxWidth = 65535;

// What a drawing will be, found without drawing it: whether the text can be
// drawn at all (else the encoder's message), where the bars end, and which
// texts are printed where. Costs no pixels and no font.
struct Measure {
    bool drawable = false;
    std::u16string message; // the encoder's one-line message, or why nothing is drawn
    double rightmost = -1;  // x of the last bar line
    struct Printed {
        float x;
        std::u16string text;
    };
    std::vector<Printed> labels;
};
Measure MeasureBarcode(const RenderRequest& request);

// The image width: the one asked for, or the bars, the quiet zone and the
// whole label. Nothing (and why) when that is wider than kMaxWidth.
std::optional<int> ImageWidth(const RenderRequest& request, const Measure& measure, const LabelPainter& painter,
                              std::string& why);

// The text as a reader returns it: the drawn characters (Interleaved 2 of 5
// with its leading zero and check digit), Code 39 upper-cased and without
// its check character. Only for drawable texts.
std::u16string TextReadBack(const RenderRequest& request);

// Draws the barcode exactly as the window would on a surface of that width.
// The painter must cover the labels.
BitmapSurface DrawBarcode(const RenderRequest& request, int width, const LabelPainter& painter);

} // namespace zebrix::cli
