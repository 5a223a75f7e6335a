#include "Produce.h"

#include "barcode/Paint.h"
#include "output/files/FileOutput.h"
#include "verify/ReaderModule.h"

namespace zebrix::cli {

std::string CheckSize(int width, int height, const Resolution& r, ImageType type)
{
    const long long w = static_cast<long long>(width) * r.scale;
    const long long h = static_cast<long long>(height) * r.scale;
    if (type == ImageType::Svg)
        return {};
    if (type == ImageType::Jpeg && (w > kMaxJpegSide || h > kMaxJpegSide))
        return "the picture would be " + std::to_string(w) + " x " + std::to_string(h) + " dots; a JPEG is at most "
            + std::to_string(kMaxJpegSide) + " dots on a side (use .png, or a smaller --scale)";
    if (w * h > kMaxDots)
        return "the picture would be " + std::to_string(w) + " x " + std::to_string(h) + " dots, more than "
            + std::to_string(kMaxDots) + " (use a smaller --scale)";
    return {};
}

namespace {

// Written, or written and reported with the verdict's reason (in French,
// as the window gives it).
Product Judged(const Verdict& verdict, const std::string& what)
{
    if (verdict.kind == Verdict::Kind::Reads || verdict.kind == Verdict::Kind::Nothing)
        return {};
    return {Product::Unreadable, what + ": does not read back: " + verdict.explanation(true)};
}

} // namespace

Product ProduceImage(
    const RenderRequest& request, const Layout& layout, const std::string& path, const OutputSettings& output)
{
    Bitmap bitmap;
    if (output.type != ImageType::Svg) { // an SVG takes the drawing itself
        bitmap = Bitmap(layout.width, request.height);
        PaintBars(layout.drawing, bitmap);
    }
    std::string bytes;
    switch (output.type) {
    case ImageType::Bmp: bytes = EncodeBmp(bitmap, output.resolution); break;
    case ImageType::Png: bytes = EncodePng(bitmap, output.resolution); break;
    case ImageType::Svg: bytes = EncodeSvg(layout.drawing, layout.width, request.height, output.resolution); break;
    case ImageType::Jpeg:
        if (auto jpeg = EncodeJpeg(bitmap, output.resolution, output.quality))
            bytes = std::move(*jpeg);
        else
            return {Product::WriteFailed, "cannot write " + path + ": the JPEG could not be made"};
        break;
    }
    if (const auto result = WriteFileAtomically(path, bytes); !result.written())
        return {Product::WriteFailed, Describe(result, path)};
    if (!output.verify)
        return {};

    // Read back from the disk, as a user's scanner would see it.
    return JudgeReadBack(request, layout, path, "files", [&](GrayImage& image, std::string& why) {
        if (output.type != ImageType::Svg)
            return ReadImageFile(path, image, why);
        std::string svg;
        return ReadWholeFile(path, svg, std::size_t{1} << 30) && RasterizeSvgBars(svg, image);
    });
}

Product JudgeReadBack(const RenderRequest& request, const Layout& layout, const std::string& what, const char* things,
    const std::function<bool(GrayImage&, std::string&)>& readBack)
{
    // A message needs no reading.
    if (const auto known = JudgeWithoutReading(layout.drawing, request.symbology))
        return Judged(*known, what);
    std::string why;
    if (!ReaderModuleLoads(why))
        return {Product::NotChecked, std::string("--verify cannot read the ") + things + " back: " + why};
    GrayImage image;
    if (!readBack(image, why))
        return {Product::Unreadable, what + ": cannot read it back" + (why.empty() ? "" : ": " + why)};
    const GreyPicture picture{image.pixels.data(), image.width, image.height, image.width};
    // The check character kept: a scanner returns it.
    const Verdict verdict = Judge(layout.drawing, request.symbology, request.options, false,
        [&](Reader reader) { return ReadWithModule(reader, picture, request.symbology, false, why); });
    if (verdict.kind == Verdict::Kind::NotRead)
        return {Product::Unreadable, what + ": cannot read it back: " + why};
    return Judged(verdict, what);
}

} // namespace zebrix::cli
