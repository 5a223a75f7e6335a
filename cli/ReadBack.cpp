#define ZX_USE_UTF8 1
#include "ReadBack.h"

#include <ZXing/ReadBarcode.h>

#include <string_view>

namespace zebrix {

std::vector<std::string> ReadBarcodes(
    const std::uint8_t* pixels, int width, int height, int stride, Symbology symbology, const Options& options)
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

std::vector<std::string> ReadBarcodesWith(Reader reader, const std::uint8_t* pixels, int width, int height, int stride,
    Symbology symbology, const Options& options)
{
    if (reader == Reader::ZXing)
        return ReadBarcodes(pixels, width, height, stride, symbology, options);
    auto texts = ReadBarcodesWithZbar(pixels, width, height, stride, symbology);
    if (symbology == Symbology::Code39 && options.addCheck == 1) {
        // zbar returns the check character; check it and drop it, as ZXing-C++ does.
        static constexpr std::string_view kValues = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
        for (auto& t : texts) {
            std::size_t sum = 0;
            for (std::size_t i = 0; i + 1 < t.size(); ++i)
                sum += kValues.find(t[i]);
            if (t.size() >= 2 && kValues.find(t.back()) == sum % 43)
                t.pop_back(); // a wrong one stays, and the text differs
        }
    }
    return texts;
}

} // namespace zebrix
