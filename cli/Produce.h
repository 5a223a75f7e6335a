#pragma once
#include "ImageFiles.h"
#include "GlyphTable.h"
#include "Layout.h"

#include <memory>
#include <string>

namespace zebrix::cli {

class QtServices;

struct OutputSettings {
    ImageType type = ImageType::Bmp;
    Resolution resolution;
    int quality = 100;   // JPEG
    bool verify = false; // read every file back with ZXing-C++
};

// Chooses what draws the labels: the glyph table kept in the cache when it
// is current; else one that Qt builds now (and that is kept for next time);
// else, for a font that cannot be drawn glyph by glyph, Qt itself.
class LabelSource {
public:
    // Nothing (and why) when no painter can be had.
    const LabelPainter* painter(std::string& why);
    // The painter for a drawing with these labels (Qt for characters the
    // table lacks).
    const LabelPainter* painterFor(const Measure& measure, std::string& why);
    bool usesCache() const { return table_.has_value(); }

private:
    bool tried_ = false;
    std::optional<GlyphTable> table_;
    const LabelPainter* painter_ = nullptr;
    std::string why_;
};

struct Product {
    enum Status { Written, WriteFailed, Unreadable } status = Written;
    std::string message;
};

// Checks that a drawing scaled up fits in a file; an empty string or why not.
std::string CheckSize(int width, int height, const Resolution& resolution);

// Draws one barcode, writes the file and, when asked, reads it back.
Product ProduceImage(const RenderRequest& request, int width, const LabelPainter& painter, const std::string& path,
                     const OutputSettings& output, QtServices* qt);

} // namespace zebrix::cli
