#include "Produce.h"

#include "FileOutput.h"
#include "GlyphCache.h"
#include "QtServices.h"
#include "Utf.h"

#include <cstdlib>

namespace zebrix::cli {

const LabelPainter* LabelSource::painter(std::string& why)
{
    if (!tried_) {
        tried_ = true;
        const char* off = std::getenv("ZEBRIX_NO_GLYPH_CACHE");
        const bool cacheAllowed = !(off && *off && std::string(off) != "0");
        const std::string path = GlyphCachePath();
        if (cacheAllowed)
            table_ = LoadGlyphCache(path);
        if (!table_) {
            QtServices* qt = GetQtServices(why_);
            if (qt) {
                if (cacheAllowed) {
                    std::string stamps, notPerGlyph;
                    table_ = qt->buildGlyphTable(stamps, notPerGlyph);
                    if (table_)
                        SaveGlyphCache(path, *table_, stamps); // best effort: next run is faster
                }
                if (!table_) {
                    painter_ = &qt->labelPainter();
                    painter_->ascent(); // starts Qt here, on the main thread
                }
            }
        }
        if (table_)
            painter_ = &*table_;
    }
    if (!painter_)
        why = why_;
    return painter_;
}

const LabelPainter* LabelSource::painterFor(const Measure& measure, std::string& why)
{
    const LabelPainter* p = painter(why);
    if (!p || !table_)
        return p;
    for (const auto& label : measure.labels)
        if (!p->covers(label.text)) {
            QtServices* qt = GetQtServices(why);
            return qt ? &qt->labelPainter() : nullptr;
        }
    return p;
}

std::string CheckSize(int width, int height, const Resolution& r)
{
    const long long w = static_cast<long long>(width) * r.scale;
    const long long h = static_cast<long long>(height) * r.scale;
    if (w * h > kMaxDots)
        return "the picture would be " + std::to_string(w) + " x " + std::to_string(h) + " dots, more than "
            + std::to_string(kMaxDots) + " (use a smaller --scale)";
    return {};
}

Product ProduceImage(const RenderRequest& request, int width, const LabelPainter& painter, const std::string& path,
                     const OutputSettings& output, QtServices* qt)
{
    Product product;
    BitmapSurface drawing = DrawBarcode(request, width, painter);
    std::string bytes;
    switch (output.type) {
    case ImageType::Bmp: bytes = EncodeBmp(drawing.bitmap(), output.resolution); break;
    case ImageType::Png: bytes = EncodePng(drawing.bitmap(), output.resolution); break;
    case ImageType::Svg:
        bytes = EncodeSvg(drawing.bitmap().width, drawing.bitmap().height, drawing.columns(), drawing.labels(),
                          painter.ascent(), output.resolution);
        break;
    case ImageType::Jpeg:
        if (!qt) {
            product = {Product::WriteFailed, "cannot write " + path + ": JPEG needs the Qt module"};
            return product;
        }
        if (auto error = qt->encodeJpeg(drawing.bitmap(), output.resolution, output.quality, bytes); !error.empty()) {
            product = {Product::WriteFailed, "cannot write " + path + ": " + error};
            return product;
        }
        break;
    }
    if (auto error = WriteFileAtomically(path, bytes); !error.empty())
        return {Product::WriteFailed, error};
    if (!output.verify)
        return product;

    // Read the file back from the disk, as a user's scanner would see it.
    GrayImage image;
    std::string why;
    if (output.type == ImageType::Svg) {
        std::string svg;
        if (!ReadWholeFile(path, svg, std::size_t{1} << 30) || !RasterizeSvgBars(svg, image))
            return {Product::Unreadable, path + ": cannot read it back"};
    } else if (!qt || !qt->readImage(path, image, why)) {
        return {Product::Unreadable, path + ": cannot read it back" + (why.empty() ? "" : ": " + why)};
    }
    const std::string expected = Utf16ToUtf8(TextReadBack(request));
    const auto read = qt ? qt->decode(image, request.typeCode, request.typeCode == Symbology::Code39 && request.options.addCheck == 1)
                         : std::vector<std::string>{};
    if (read.size() == 1 && read.front() == expected)
        return product;
    if (read.empty())
        return {Product::Unreadable, path + ": no barcode could be read (expected \"" + expected + "\")"};
    std::string got;
    for (const auto& t : read)
        got += (got.empty() ? "\"" : ", \"") + t + "\"";
    return {Product::Unreadable, path + ": read " + got + ", expected \"" + expected + "\""};
}

} // namespace zebrix::cli
