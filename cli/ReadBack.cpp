#define ZX_USE_UTF8 1
#include "ReadBack.h"

#include <ZXing/ReadBarcode.h>

namespace zebrix {

std::vector<std::string> ReadBarcodes(const std::uint8_t* pixels, int width, int height, int stride,
                                      Symbology symbology, const Options& options)
{
    if (width <= 0 || height <= 0)
        return {};
    ZXing::DecodeHints hints;
    switch (symbology) {
    case Symbology::Code39: hints.setFormats(ZXing::BarcodeFormat::Code39); break;
    case Symbology::Interleaved2of5: hints.setFormats(ZXing::BarcodeFormat::ITF); break;
    case Symbology::Code128: hints.setFormats(ZXing::BarcodeFormat::Code128); break;
    case Symbology::Codabar: hints.setFormats(ZXing::BarcodeFormat::Codabar); break;
    default: return {};
    }
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    hints.setTryCode39ExtendedMode(false);
    hints.setValidateCode39CheckSum(symbology == Symbology::Code39 && options.addCheck == 1);
    hints.setReturnCodabarStartEnd(false);
    const ZXing::ImageView view(pixels, width, height, ZXing::ImageFormat::Lum, stride);
    std::vector<std::string> texts;
    for (const auto& result : ZXing::ReadBarcodes(view, hints))
        if (result.isValid())
            texts.push_back(result.text());
    return texts;
}

} // namespace zebrix
