// zbar, in a file of its own: its C++ header and ZXing-C++'s do not mix.
#include "ReadBack.h"

#include <zbar.h>

#include <algorithm>

namespace zebrix {

std::vector<std::string> ReadBarcodesWithZbar(
    const std::uint8_t* pixels, int width, int height, int stride, Symbology symbology)
{
    zbar::zbar_symbol_type_t type = zbar::ZBAR_NONE;
    switch (symbology) {
    case Symbology::Code39: type = zbar::ZBAR_CODE39; break;
    case Symbology::Interleaved2of5: type = zbar::ZBAR_I25; break;
    case Symbology::Code128: type = zbar::ZBAR_CODE128; break;
    case Symbology::Codabar: type = zbar::ZBAR_CODABAR; break;
    default: return {};
    }
    if (width <= 0 || height <= 0)
        return {};
    // zbar wants tightly packed rows.
    std::vector<unsigned char> data(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels + static_cast<std::ptrdiff_t>(y) * stride, width,
            data.begin() + static_cast<std::ptrdiff_t>(y) * width);
    zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner, type, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::zbar_image_scanner_set_config(scanner, type, zbar::ZBAR_CFG_MIN_LEN, 1);
    zbar::zbar_image_t* image = zbar::zbar_image_create();
    zbar::zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(image, static_cast<unsigned>(width), static_cast<unsigned>(height));
    zbar::zbar_image_set_data(image, data.data(), data.size(), nullptr);
    std::vector<std::string> texts;
    if (zbar::zbar_scan_image(scanner, image) > 0)
        for (auto* s = zbar::zbar_image_first_symbol(image); s; s = zbar::zbar_symbol_next(s))
            texts.emplace_back(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
    // zbar returns Codabar with its start and stop characters; ZXing-C++ as
    // told here, and the label, without.
    if (symbology == Symbology::Codabar)
        for (auto& t : texts)
            if (t.size() >= 2)
                t = t.substr(1, t.size() - 2);
    zbar::zbar_image_destroy(image);
    zbar::zbar_image_scanner_destroy(scanner);
    return texts;
}

} // namespace zebrix
