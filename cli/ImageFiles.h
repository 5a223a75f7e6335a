#pragma once
#include "Bitmap.h"
#include "BitmapSurface.h"

#include <optional>
#include <string>
#include <vector>

namespace zebrix::cli {

enum class ImageType { Bmp, Png, Jpeg, Svg };

// From the file name's extension (any case): .bmp, .png, .jpg/.jpeg, .svg.
std::optional<ImageType> ImageTypeOf(const std::string& path);

// How the pixels of a picture are stored: each pixel drawn as scale x scale
// dots, and the resolution written in the file, in dots per inch.
struct Resolution {
    int scale = 1;
    double dpi = 96;
};

// A Windows BMP with one bit per pixel (black and white palette), rows
// padded to four bytes, the resolution in the header.
std::string EncodeBmp(const Bitmap& bitmap, const Resolution& resolution);
// A one-bit grey PNG with its resolution (pHYs).
std::string EncodePng(const Bitmap& bitmap, const Resolution& resolution);
// The same drawing as vector shapes: one rectangle per run of adjacent bar
// columns, the labels as text, 1 user unit per pixel of the unscaled
// picture; width and height in millimetres for the resolution.
std::string EncodeSvg(int width, int height, const std::vector<BitmapSurface::Column>& columns,
                      const std::vector<BitmapSurface::Label>& labels, int ascent, const Resolution& resolution);

// The bars of an SVG written by EncodeSvg, as a grey picture of its user
// units (the labels are left out); false if it is not one of ours.
bool RasterizeSvgBars(std::string_view svg, GrayImage& image);

// Largest picture written, in dots (width x height after scaling).
constexpr long long kMaxDots = 1LL << 28;

} // namespace zebrix::cli
