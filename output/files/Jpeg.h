#pragma once
// JPEG on libjpeg-turbo, shared by the converter library and the image files.
#include "Bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zebrix::jpeg {

struct Source {
    int width = 0;
    int height = 0;
    bool gray = false;
    // Resolution in dots per inch to record (1 to 65535); 0: none recorded.
    int dpiX = 0;
    int dpiY = 0;
    // Fills row y (0 at the top): width bytes when grey, else width x 3 (R, G, B).
    std::function<void(int y, std::uint8_t* row)> row;
};

// Compresses the picture at this quality (1 to 100), every channel at full
// resolution so that thin bars keep their edges. False when libjpeg fails.
bool Encode(const Source& source, int quality, bool optimizeCoding, std::string& out);

// Reads a JPEG as grey; false when it is not one.
bool DecodeGray(std::string_view bytes, GrayImage& image);

// Dots per inch, from dots per metre, as a JPEG can record them (1 to 65535).
int DotsPerInch(double dotsPerMeter);

} // namespace zebrix::jpeg
