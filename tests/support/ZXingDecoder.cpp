#define ZX_USE_UTF8 1
#include "Decoders.h"

#include <ZXing/ReadBarcode.h>

namespace zebrix::test {

std::vector<std::string> DecodeWithZXing(const QImage& image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::ImageView view(
        gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum, static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39 | ZXing::BarcodeFormat::Code128 | ZXing::BarcodeFormat::ITF
        | ZXing::BarcodeFormat::Codabar);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    std::vector<std::string> texts;
    for (const auto& result : ZXing::ReadBarcodes(view, hints))
        if (result.isValid())
            texts.push_back(result.text());
    return texts;
}

} // namespace zebrix::test
