// zebrix-cli-reader.so itself.
#include "ReaderModule.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) char* zebrix_cli_read(const std::uint8_t* pixels, int width,
    int height, int stride, int reader, int symbology, int dropCode39Check, std::size_t* size)
{
    try {
        const auto texts = zebrix::ReadBarcodes(static_cast<zebrix::Reader>(reader), {pixels, width, height, stride},
            static_cast<zebrix::Symbology>(symbology), dropCode39Check == 1);
        std::size_t total = 0;
        for (const auto& t : texts)
            total += t.size() + 1;
        char* out = static_cast<char*>(std::malloc(total + 1));
        if (!out)
            return nullptr;
        char* p = out;
        for (const auto& t : texts) {
            std::memcpy(p, t.c_str(), t.size() + 1);
            p += t.size() + 1;
        }
        *size = total;
        return out;
    } catch (...) {
        return nullptr;
    }
}

static_assert(std::is_same_v<decltype(&zebrix_cli_read), zebrix::ModuleReadFunction>);
