#pragma once
// JPEG on libjpeg-turbo, shared by the converter library and the image files.
#include "Bitmap.h"

#include <cstddef>
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

// Takes the compressed bytes as they come; false stops the compression.
using Sink = std::function<bool(const std::uint8_t* bytes, std::size_t size)>;

// Compresses the picture at this quality (1 to 100), every channel at full
// resolution so that thin bars keep their edges, handing the file to `sink`
// piece by piece: the memory used does not grow with the picture. Optimised
// coding is left out past kMostOptimizedSamples, where libjpeg would hold
// the whole picture's coefficients. False when libjpeg or the sink fails.
bool Encode(const Source& source, int quality, bool optimizeCoding, const Sink& sink);
// The same, the file in memory.
bool Encode(const Source& source, int quality, bool optimizeCoding, std::string& out);

// Samples (pixels x channels) up to which optimised coding is done: 64 MB of
// coefficients.
inline constexpr std::uint64_t kMostOptimizedSamples = std::uint64_t{1} << 25;

// Reads a JPEG as grey; false when it is not one.
bool DecodeGray(std::string_view bytes, GrayImage& image);

// Dots per inch, from dots per metre, as a JPEG can record them (1 to 65535).
int DotsPerInch(double dotsPerMeter);

} // namespace zebrix::jpeg
