#include "Render.h"

#include "cli/FileOutput.h"
#include "cli/ImageFiles.h"
#include "cli/Utf.h"
#include "barcode/Symbologies.h"
#include "qtsurface/ImageSurface.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

namespace zebrix::cli {

namespace {

class QtWidths : public LabelPainter {
public:
    bool covers(std::u16string_view) const override { return true; }
    int textWidth(std::u16string_view text) const override { return ImageSurface::textWidth(text); }
    int ascent() const override { return 0; }
    void drawText(Bitmap&, int, int, std::u16string_view) const override {}
};

// The picture as black and white, if that is all it holds.
std::optional<Bitmap> BlackAndWhite(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Bitmap b(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = row[x] & 0xFFFFFF;
            if (p == 0)
                b.setBlack(x, y);
            else if (p != 0xFFFFFF)
                return std::nullopt;
        }
    }
    return b;
}

} // namespace

RenderResult RenderBarcode(const RenderRequest& request)
{
    RenderResult result;
    const Measure measure = MeasureBarcode(request);
    if (!measure.drawable) {
        result.message = QString::fromStdU16String(measure.message);
        return result;
    }
    std::string why;
    const auto width = ImageWidth(request, measure, QtWidths(), why);
    if (!width) {
        result.message = QString::fromStdString(why);
        return result;
    }
    ImageSurface surface(*width, request.height);
    GenerateBarcode(surface, request.typeCode, request.text, request.options, surface.width());
    result.image = surface.image();
    return result;
}

QString WriteImage(const QImage& image, const QString& path, int quality)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    QByteArray format;
    QImage out = image;
    if (suffix == QLatin1String("bmp")) {
        if (const auto bw = BlackAndWhite(image)) {
            const std::string error = WriteFileAtomically(path.toStdString(), EncodeBmp(*bw, Resolution{1, 96}));
            return QString::fromStdString(error);
        }
        format = "BMP";
        out = image.convertToFormat(QImage::Format_RGB888); // 24 bits per pixel
    } else if (suffix == QLatin1String("png")) {
        format = "PNG";
    } else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        format = "JPEG";
        // Black and white stays grayscale: no colour subsampling to blur the bars.
        if (image.allGray())
            out = image.convertToFormat(QImage::Format_Grayscale8);
    } else {
        return QStringLiteral("unknown image type \"%1\" (use .bmp, .png or .jpg)").arg(suffix);
    }

    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "JPEG")
        writer.setQuality(quality);
    if (!writer.write(out))
        return QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
    return QString::fromStdString(
        WriteFileAtomically(path.toStdString(), std::string_view(data.constData(), static_cast<std::size_t>(data.size()))));
}

} // namespace zebrix::cli
