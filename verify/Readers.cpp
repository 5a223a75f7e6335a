#define ZX_USE_UTF8 1
#include "Readers.h"

#include <ZXing/ReadBarcode.h>

#include <string_view>

namespace zebrix {

// In ReadersZbar.cpp: zbar's C++ header and ZXing-C++'s do not mix.
std::vector<std::string> ReadWithZbar(const GreyPicture& picture, std::optional<Symbology> symbology);

namespace {

ZXing::BarcodeFormats ZXingFormat(std::optional<Symbology> symbology)
{
    using enum ZXing::BarcodeFormat;
    if (!symbology)
        return Code39 | ITF | Code128 | Codabar;
    switch (*symbology) {
    case Symbology::Code39: return Code39;
    case Symbology::Interleaved2of5: return ITF;
    case Symbology::Code128: return Code128;
    case Symbology::Codabar: return Codabar;
    }
    return None;
}

std::vector<std::string> ReadWithZXing(
    const GreyPicture& picture, std::optional<Symbology> symbology, bool dropCode39Check)
{
    const ZXing::BarcodeFormats formats = ZXingFormat(symbology);
    if (formats.empty())
        return {};
    ZXing::DecodeHints hints;
    hints.setFormats(formats);
    hints.setTryHarder(true);
    hints.setTryRotate(false);
    hints.setTryCode39ExtendedMode(false);
    hints.setValidateCode39CheckSum(dropCode39Check);
    hints.setReturnCodabarStartEnd(false);
    const ZXing::ImageView view(picture.pixels, picture.width, picture.height, ZXing::ImageFormat::Lum, picture.stride);
    std::vector<std::string> texts;
    for (const auto& result : ZXing::ReadBarcodes(view, hints))
        if (result.isValid())
            texts.push_back(result.text());
    return texts;
}

// zbar returns Code 39's check character; checks it and drops it, as
// ZXing-C++ does (a wrong one stays, and the text differs).
void DropCode39Check(std::string& text)
{
    static constexpr std::string_view kValues = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    std::size_t sum = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        sum += kValues.find(text[i]);
    if (text.size() >= 2 && kValues.find(text.back()) == sum % 43)
        text.pop_back();
}

} // namespace

std::vector<std::string> ReadBarcodes(
    Reader reader, const GreyPicture& picture, std::optional<Symbology> symbology, bool dropCode39Check)
{
    if (!picture.pixels || picture.width <= 0 || picture.height <= 0 || picture.stride < picture.width
        || (symbology && (*symbology < Symbology::Code39 || *symbology > Symbology::Codabar)))
        return {};
    dropCode39Check = dropCode39Check && symbology == Symbology::Code39;
    if (reader == Reader::ZXing)
        return ReadWithZXing(picture, symbology, dropCode39Check);
    auto texts = ReadWithZbar(picture, symbology);
    if (dropCode39Check)
        for (auto& t : texts)
            DropCode39Check(t);
    return texts;
}

} // namespace zebrix
