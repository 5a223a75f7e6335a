#include "Layout.h"

#include "barcode/LabelFont.h"
#include "barcode/Utf.h"

#include <algorithm>

namespace zebrix::cli {

Layout LayOut(const RenderRequest& request)
{
    Layout layout;
    layout.drawing
        = Encode(request.symbology, request.text, request.options, request.width > 0 ? request.width : kMaxWidth + 1);
    const Drawing& d = layout.drawing;
    switch (d.kind) {
    case Drawing::Kind::Unchanged:
    case Drawing::Kind::Blank: layout.problem = "nothing to draw"; return layout;
    case Drawing::Kind::Message:
        layout.problem = Utf16ToUtf8(d.message);
        if (request.symbology == Symbology::Code128 && !d.message.empty() && d.message.front() == u' ') {
            // The window's message names no character; here the first one
            // Code 128 cannot take comes first, as the other symbologies do.
            const auto bad = std::find_if(
                request.text.begin(), request.text.end(), [](char16_t c) { return c < u' ' || c > u'~'; });
            if (bad != request.text.end()) {
                const bool pair = *bad >= 0xD800 && *bad <= 0xDBFF && bad + 1 != request.text.end();
                layout.problem = Utf16ToUtf8(std::u16string_view(&*bad, pair ? 2 : 1)) + layout.problem;
            }
        }
        return layout;
    case Drawing::Kind::Bars: break;
    }
    if (request.width > 0) {
        layout.width = request.width;
        return layout;
    }
    long long end = static_cast<long long>(d.columns.empty() ? kFirstBarX : d.columns.back() + 1) + 20;
    if (d.labelShown)
        end = std::max<long long>(end, d.labelPixelX() + LabelFont::TextWidth(d.label));
    if (d.cut || end > kMaxWidth) {
        layout.problem = (d.cut ? std::string("the barcode is more than ") + std::to_string(kMaxWidth)
                                : "the barcode is " + std::to_string(end))
            + " pixels wide; images are at most " + std::to_string(kMaxWidth) + " pixels wide (-w crops it)";
        return layout;
    }
    layout.width = static_cast<int>(end);
    return layout;
}

} // namespace zebrix::cli
