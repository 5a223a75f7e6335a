#pragma once
#include "barcode/Drawing.h"

#include <string>

namespace zebrix::cli {

struct RenderRequest {
    Symbology symbology = Symbology::Code39;
    std::u16string text;
    Options options{0, 1, 0}; // the command line's defaults scan: no wider spaces
    int width = 0; // 0: the bars, a 20-pixel quiet zone, and the whole label
    int height = 67;
};

constexpr int kMaxWidth = 65535;

// A request laid out once: the drawing, and the width of its picture.
struct Layout {
    Drawing drawing;
    int width = 0;
    std::string problem; // not empty: nothing to write (the encoder's message, or why not)
};

// Asked for no width, the picture holds the bars, a 20-pixel quiet zone
// after them and the whole label, at most kMaxWidth pixels.
Layout LayOut(const RenderRequest& request);

} // namespace zebrix::cli
