#pragma once
#include "Layout.h"
#include "output/files/ImageFiles.h"

#include <string>

namespace zebrix::cli {

struct OutputSettings {
    ImageType type = ImageType::Bmp;
    Resolution resolution;
    int quality = 100; // JPEG
    bool verify = false; // read every file back with ZXing-C++
};

struct Product {
    // NotChecked: written, but --verify cannot read anything back (the
    // reader module is missing).
    enum Status { Written, WriteFailed, Unreadable, NotChecked } status = Written;
    std::string message;
};

// A JPEG's side is at most this many dots (libjpeg's limit).
constexpr int kMaxJpegSide = 65500;

// Checks that a drawing scaled up fits in a file of that type (an SVG has
// no dots); an empty string or why not.
std::string CheckSize(int width, int height, const Resolution& resolution, ImageType type = ImageType::Bmp);

// Paints the laid-out drawing, writes the file and, when asked, reads it back.
Product ProduceImage(
    const RenderRequest& request, const Layout& layout, const std::string& path, const OutputSettings& output);

} // namespace zebrix::cli
