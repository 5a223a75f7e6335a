#pragma once
// Reading a barcode picture back with ZXing-C++ or zbar, as a scanner would:
// what the command line's --verify does with every file it writes, and the
// window with every drawing.
#include "barcode/Drawing.h"
#include "verify/Verdict.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zebrix {

// Texts ZXing-C++ reads in a grey picture (0 black to 255 white, rows of
// stride bytes), looking for this symbology only. With Code 39 and its check
// character the check is verified and not returned; Codabar's start and stop
// characters are not returned.
std::vector<std::string> ReadBarcodes(
    const std::uint8_t* pixels, int width, int height, int stride, Symbology symbology, const Options& options);

// Texts zbar reads in the same picture, this symbology only, short symbols
// included (Codabar's start and stop characters are not returned).
std::vector<std::string> ReadBarcodesWithZbar(
    const std::uint8_t* pixels, int width, int height, int stride, Symbology symbology);

// The one or the other.
std::vector<std::string> ReadBarcodesWith(Reader reader, const std::uint8_t* pixels, int width, int height, int stride,
    Symbology symbology, const Options& options);

} // namespace zebrix
