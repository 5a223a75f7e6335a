#pragma once
// Reading a barcode picture back with ZXing-C++ or zbar, as a scanner would:
// the window reads every drawing, zebrix-cli --verify every file it writes
// (through its reader module), the tests what the program draws. Plain C++.
#include "verify/Verdict.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zebrix {

// A grey picture: 0 black to 255 white, rows of stride bytes.
struct GreyPicture {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// The texts a reader finds in the picture: barcodes of this symbology only,
// or of any of the four when none is given. Codabar's start and stop
// characters are not returned. A Code 39 check character is returned as
// drawn, or with dropCode39Check verified and dropped (ZXing-C++ then finds
// nothing where it is wrong; zbar keeps a wrong one, so its text differs).
std::vector<std::string> ReadBarcodes(Reader reader, const GreyPicture& picture,
    std::optional<Symbology> symbology = std::nullopt, bool dropCode39Check = false);

} // namespace zebrix
