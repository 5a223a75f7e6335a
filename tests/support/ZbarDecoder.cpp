#include "Decoders.h"

#include <zbar.h>

#include <algorithm>

namespace zebrix::test {

std::vector<std::string> DecodeWithZbar(const QImage& image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const int w = gray.width();
    const int h = gray.height();
    // zbar wants tightly packed rows.
    std::vector<unsigned char> data(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(gray.constScanLine(y), w, data.begin() + static_cast<std::ptrdiff_t>(y) * w);

    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    for (auto symbology : {zbar::ZBAR_CODE39, zbar::ZBAR_CODE128, zbar::ZBAR_I25, zbar::ZBAR_CODABAR})
        scanner.set_config(symbology, zbar::ZBAR_CFG_ENABLE, 1);
    // Short symbols too: our Interleaved 2 of 5 may have two digits.
    scanner.set_config(zbar::ZBAR_I25, zbar::ZBAR_CFG_MIN_LEN, 2);
    scanner.set_config(zbar::ZBAR_CODABAR, zbar::ZBAR_CFG_MIN_LEN, 1);
    scanner.set_config(zbar::ZBAR_CODE39, zbar::ZBAR_CFG_MIN_LEN, 1);
    zbar::Image zimage(static_cast<unsigned>(w), static_cast<unsigned>(h), "Y800", data.data(), data.size());
    scanner.scan(zimage);
    std::vector<std::string> texts;
    for (auto symbol = zimage.symbol_begin(); symbol != zimage.symbol_end(); ++symbol)
        texts.push_back(symbol->get_data());
    zimage.set_data(nullptr, 0);
    return texts;
}

} // namespace zebrix::test
