// The ratio box's number reading on any text: never crashes, never hangs, and
// blanks really are ignored wherever they stand.
#include "output/RatioNumber.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Bytes as Latin-1 characters: the seeds stay readable, and every
    // character that can matter is reachable.
    std::u16string text(data, data + size);
    const auto value = zebrix::ReadRatioNumber(text);

    std::u16string spaced;
    for (const char16_t c : text) {
        spaced.push_back(u' ');
        spaced.push_back(c);
        spaced.push_back(u'\t');
    }
    if (zebrix::ReadRatioNumber(spaced) != value)
        __builtin_trap();
    return 0;
}
