#pragma once
#include "Layout.h"
#include "output/files/ImageFiles.h"

#include <functional>
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

// What --verify says of a drawing read back ("what" names it in messages, "things" what cannot be read when
// the reader module is missing): Written when it reads as drawn, else Unreadable or NotChecked and why.
// readBack gives the grey pixels a scanner would see, or false and why.
Product JudgeReadBack(const RenderRequest& request, const Layout& layout, const std::string& what, const char* things,
    const std::function<bool(GrayImage&, std::string&)>& readBack);

} // namespace zebrix::cli
