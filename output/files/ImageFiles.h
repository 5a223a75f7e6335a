#pragma once
// The image files Zebrix writes, made in memory: the window's save and the
// command line both use these, then WriteFileAtomically().
#include "Bitmap.h"
#include "barcode/Drawing.h"
#include "barcode/Look.h"

#include <optional>
#include <string>
#include <string_view>

namespace zebrix {

enum class ImageType { Bmp, Png, Jpeg, Svg };

// From the file name's extension (any case): .bmp, .png, .jpg/.jpeg, .svg.
std::optional<ImageType> ImageTypeOf(const std::string& path);

// How the pixels of a black-and-white picture are stored: each pixel drawn as
// scale x scale dots, and the resolution written in the file, in dots per inch.
struct Resolution {
    int scale = 1;
    double dpi = kDotsPerInch;
};

// Largest picture written, in dots (width x height after scaling).
constexpr long long kMaxDots = 1LL << 28;

// A Windows BMP with one bit per pixel (black and white palette), rows
// padded to four bytes, the resolution in the header.
std::string EncodeBmp(const Bitmap& bitmap, const Resolution& resolution);
// A Windows BMP with 24 bits per pixel, what every reader takes.
std::string EncodeBmp(const RgbImage& image);
// A one-bit grey PNG with its resolution (pHYs).
std::string EncodePng(const Bitmap& bitmap, const Resolution& resolution);
// An 8-bit RGB PNG with its resolution.
std::string EncodePng(const RgbImage& image);
// A grey JPEG of the picture; nothing when libjpeg fails.
std::optional<std::string> EncodeJpeg(const Bitmap& bitmap, const Resolution& resolution, int quality);

// The drawing on a picture width x height as vector shapes: one rectangle per
// run of adjacent bar columns, the label as text, 1 user unit per pixel of
// the unscaled picture; width and height in millimetres for the resolution.
std::string EncodeSvg(const Drawing& drawing, int width, int height, const Resolution& resolution);

// The bars of an SVG written by EncodeSvg, as a grey picture of its user
// units (the label left out); false if it is not one of ours.
bool RasterizeSvgBars(std::string_view svg, GrayImage& image);

// Reads a BMP, PNG or JPEG file written by Zebrix as a grey picture; false
// (and why) when it cannot.
bool ReadImageFile(const std::string& path, GrayImage& image, std::string& why);

} // namespace zebrix
