// zebrix-cli-reader.so: ZXing-C++ and zbar for --verify, in a module of its own so
// that the program loads it only when it reads files back. What crosses the
// boundary is plain C: the texts read, each ended by a NUL, in one buffer
// from malloc.
#include "ReadBack.h"

#include <cstdlib>
#include <cstring>

extern "C" __attribute__((visibility("default"))) char* zebrix_cli_read(const std::uint8_t* pixels, int width,
    int height, int stride, int reader, int symbology, int addCheck, std::size_t* size)
{
    try {
        const zebrix::Options options{0, 1, addCheck};
        const auto texts = zebrix::ReadBarcodesWith(static_cast<zebrix::Reader>(reader), pixels, width, height, stride,
            static_cast<zebrix::Symbology>(symbology), options);
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
