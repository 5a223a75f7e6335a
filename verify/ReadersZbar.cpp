// zbar, in a file of its own: its C++ header and ZXing-C++'s do not mix.
#include "Readers.h"

#include <zbar.h>

#include <algorithm>

namespace zebrix {

std::vector<std::string> ReadWithZbar(const GreyPicture& picture, std::optional<Symbology> symbology)
{
    using namespace zbar;
    static constexpr zbar_symbol_type_t kTypes[] = {ZBAR_CODE39, ZBAR_I25, ZBAR_CODE128, ZBAR_CODABAR};
    const int w = picture.width, h = picture.height;
    // zbar wants tightly packed rows.
    std::vector<unsigned char> data(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        std::copy_n(picture.pixels + static_cast<std::ptrdiff_t>(y) * picture.stride, w,
            data.begin() + static_cast<std::ptrdiff_t>(y) * w);
    zbar_image_scanner_t* scanner = zbar_image_scanner_create();
    zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    for (std::size_t i = 0; i < std::size(kTypes); ++i)
        if (!symbology || static_cast<std::size_t>(*symbology) == i) {
            // Short symbols too: an Interleaved 2 of 5 may have two digits.
            zbar_image_scanner_set_config(scanner, kTypes[i], ZBAR_CFG_ENABLE, 1);
            zbar_image_scanner_set_config(scanner, kTypes[i], ZBAR_CFG_MIN_LEN, 1);
        }
    zbar_image_t* image = zbar_image_create();
    zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image, static_cast<unsigned>(w), static_cast<unsigned>(h));
    zbar_image_set_data(image, data.data(), data.size(), nullptr);
    std::vector<std::string> texts;
    if (zbar_scan_image(scanner, image) > 0)
        for (auto* s = zbar_image_first_symbol(image); s; s = zbar_symbol_next(s)) {
            std::string text(zbar_symbol_get_data(s), zbar_symbol_get_data_length(s));
            // Codabar comes with its start and stop characters.
            if (zbar_symbol_get_type(s) == ZBAR_CODABAR && text.size() >= 2)
                text = text.substr(1, text.size() - 2);
            texts.push_back(std::move(text));
        }
    zbar_image_destroy(image);
    zbar_image_scanner_destroy(scanner);
    return texts;
}

} // namespace zebrix
