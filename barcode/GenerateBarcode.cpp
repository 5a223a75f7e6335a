#include "Symbologies.h"

namespace zebrix {

void GenerateBarcode(Surface& surface, std::int32_t typeCode, std::u16string_view text,
                     const Options& options, std::int64_t visibleWidth)
{
    switch (typeCode) {
    case kCode39: DrawCode39(surface, text, options, visibleWidth); break;
    case kInterleaved2of5: DrawInterleaved2of5(surface, text, options, visibleWidth); break;
    case kCode128: DrawCode128(surface, text, options, visibleWidth); break;
    case kCodabar: DrawCodabar(surface, text, options, visibleWidth); break;
    default: break; // unknown symbology: the surface keeps its picture
    }
}

} // namespace zebrix
