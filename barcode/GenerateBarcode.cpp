#include "Symbologies.h"

namespace zebrix {

void GenerateBarcode(Surface& surface, Symbology symbology, std::u16string_view text,
                     const Options& options, std::int64_t visibleWidth)
{
    switch (symbology) {
    case Symbology::Code39: DrawCode39(surface, text, options, visibleWidth); break;
    case Symbology::Interleaved2of5: DrawInterleaved2of5(surface, text, options, visibleWidth); break;
    case Symbology::Code128: DrawCode128(surface, text, options, visibleWidth); break;
    case Symbology::Codabar: DrawCodabar(surface, text, options, visibleWidth); break;
    default: break; // unknown symbology: the surface keeps its picture
    }
}

} // namespace zebrix
