#include "Render.h"

#include "barcode/Symbologies.h"
#include "qtsurface/ImageSurface.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace zebrix::cli {

namespace {

// Follows a drawing without keeping it: how far the bars reach, and what text
// was printed where.
class ExtentSurface : public Surface {
public:
    void Clear() override
    {
        lines = 0;
        rightmost = -1;
        texts.clear();
        position = {0, 0};
    }
    void DrawLine(float x1, float, float x2, float, long) override
    {
        ++lines;
        rightmost = std::max<double>(rightmost, std::max(x1, x2));
    }
    void SetTextPosition(float x, float y) override { position = {x, y}; }
    void PrintText(std::u16string_view text) override { texts.push_back({position.first, std::u16string(text)}); }

    struct Printed {
        float x;
        std::u16string text;
    };
    long long lines = 0;
    double rightmost = -1;
    std::pair<float, float> position{0, 0};
    std::vector<Printed> texts;
};

} // namespace

RenderResult RenderBarcode(const RenderRequest& request)
{
    RenderResult result;
    int width = request.width;
    {
        ExtentSurface extent;
        GenerateBarcode(extent, request.typeCode, request.text, request.options, kMaxWidth + 1);
        if (extent.lines == 0) {
            // No bars: either nothing to draw or the one-line message.
            result.message = extent.texts.empty()
                ? QStringLiteral("nothing to draw")
                : QString::fromStdU16String(extent.texts.front().text);
            return result;
        }
        if (width <= 0) {
            double end = extent.rightmost + 1 + 20;
            for (const auto& t : extent.texts)
                end = std::max(end, std::floor(t.x + 0.5) + ImageSurface::textWidth(t.text));
            if (end > kMaxWidth) {
                result.message = QStringLiteral("the barcode is %1 pixels wide; images are at most %2 pixels wide (-w crops it)")
                                     .arg(static_cast<qint64>(end))
                                     .arg(kMaxWidth);
                return result;
            }
            width = static_cast<int>(end);
        }
    }
    ImageSurface surface(width, request.height);
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

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    QImageWriter writer(&file, format);
    if (format == "JPEG")
        writer.setQuality(quality);
    if (!writer.write(out)) {
        file.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace zebrix::cli
