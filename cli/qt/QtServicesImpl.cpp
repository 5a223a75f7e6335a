#define ZX_USE_UTF8 1
#include "QtServicesImpl.h"

#include "barcode/Options.h"
#include "cli/GlyphCache.h"
#include "qtsurface/ImageSurface.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <ZXing/ReadBarcode.h>
#include <fontconfig/fontconfig.h>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>

namespace zebrix::cli {

namespace {

void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    // Qt's notices (no runtime folder and the like) are not for our users.
    if (type == QtFatalMsg || type == QtCriticalMsg) {
        const QByteArray bytes = message.toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    }
}

std::mutex gAppMutex;
std::unique_ptr<QGuiApplication> gApp;


void EnsureApplication()
{
    std::lock_guard lock(gAppMutex);
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(QuietQtMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen"); // never a window: fonts are all we need
    static int argc = 1;
    static char name[] = "zebrix-cli";
    static char* argv[] = {name, nullptr};
    gApp = std::make_unique<QGuiApplication>(argc, argv);
}

// The file fontconfig holds for the family and style Qt chose.
std::string FontFile(const QFont& font)
{
    const QFontInfo info(font);
    const QByteArray family = info.family().toUtf8();
    const QByteArray style = info.styleName().toUtf8();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    if (!style.isEmpty())
        FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    std::string file;
    if (set) {
        for (int i = 0; i < set->nfont && file.empty(); ++i) {
            FcChar8* f = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &f) == FcResultMatch && f)
                file = reinterpret_cast<const char*>(f);
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return file;
}

// The loaded libraries that shape and draw text, and this module.
std::string LibraryStamps()
{
    std::set<std::string> files;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            for (const char* lib : {"libQt6Gui", "libQt6Core", "libfreetype", "libharfbuzz", "libfontconfig"})
                if (name.find(lib) != std::string::npos)
                    static_cast<std::set<std::string>*>(data)->insert(name);
            return 0;
        },
        &files);
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&LibraryStamps), &self) && self.dli_fname)
        files.insert(self.dli_fname);
    std::string stamps;
    for (const auto& f : files)
        stamps += FileStamp(f);
    return stamps;
}

bool IsBlack(QRgb p) { return qGray(p) < 128; }
bool IsPure(QRgb p) { return (p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF; }

// Draws with the window's own surface and copies the black pixels.
class QtLabelPainter : public LabelPainter {
public:
    bool covers(std::u16string_view) const override { return true; }
    int textWidth(std::u16string_view text) const override
    {
        std::lock_guard lock(mutex_);
        EnsureApplication();
        return ImageSurface::textWidth(text);
    }
    int ascent() const override
    {
        std::lock_guard lock(mutex_);
        EnsureApplication();
        return QFontMetrics(ImageSurface::labelFont()).ascent();
    }
    void drawText(Bitmap& bitmap, int x, int y, std::u16string_view text) const override
    {
        std::lock_guard lock(mutex_);
        EnsureApplication();
        ImageSurface surface(bitmap.width, bitmap.height);
        surface.SetTextPosition(static_cast<float>(x), static_cast<float>(y));
        surface.PrintText(text);
        const QImage& image = surface.image();
        for (int py = 0; py < bitmap.height; ++py) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(py));
            for (int px = 0; px < bitmap.width; ++px)
                if (IsBlack(row[px]))
                    bitmap.setBlack(px, py);
        }
    }

private:
    mutable std::mutex mutex_;
};

class Services : public QtServices {
public:
    std::optional<GlyphTable> buildGlyphTable(std::string& stamps, std::string& why) override
    {
        EnsureApplication();
        const QFont font = ImageSurface::labelFont();
        const QFontMetrics metrics(font);
        GlyphTable table;
        const QFontInfo info(font);
        table.fontName = (info.family() + u' ' + info.styleName()).toStdString();
        table.lineAscent = metrics.ascent();

        // Every glyph alone, at a known origin on a white picture.
        constexpr int kOrigin = 64;
        QImage canvas(4 * kOrigin, 2 * kOrigin, QImage::Format_RGB32);
        auto draw = [&](const QString& s) {
            canvas.fill(Qt::white);
            QPainter painter(&canvas);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(kOrigin, kOrigin + metrics.ascent()), s);
        };
        for (char16_t c = GlyphTable::kFirst; c <= GlyphTable::kLast; ++c) {
            const QString s(QChar{c});
            draw(s);
            int x0 = canvas.width(), y0 = canvas.height(), x1 = -1, y1 = -1;
            for (int y = 0; y < canvas.height(); ++y)
                for (int x = 0; x < canvas.width(); ++x) {
                    const QRgb p = canvas.pixel(x, y);
                    if (!IsPure(p)) {
                        why = "the label font is not drawn in black and white";
                        return std::nullopt;
                    }
                    if (IsBlack(p))
                        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                }
            auto& g = table.glyph(c);
            g.advance = metrics.horizontalAdvance(s);
            if (x1 >= 0) {
                g.left = x0 - kOrigin;
                g.top = y0 - kOrigin;
                g.width = x1 - x0 + 1;
                g.height = y1 - y0 + 1;
                g.bits.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height));
                for (int y = 0; y < g.height; ++y)
                    for (int x = 0; x < g.width; ++x)
                        g.bits[static_cast<std::size_t>(y * g.width + x)] = IsBlack(canvas.pixel(x0 + x, y0 + y)) ? 1 : 0;
            }
        }
        for (char16_t a = GlyphTable::kFirst; a <= GlyphTable::kLast; ++a)
            for (char16_t b = GlyphTable::kFirst; b <= GlyphTable::kLast; ++b) {
                const QString pair = QString(QChar{a}) + QChar{b};
                table.setKern(a, b, metrics.horizontalAdvance(pair) - table.glyph(a).advance - table.glyph(b).advance);
            }

        // The glyphs one by one must give what Qt draws, for every pair, on a
        // canvas just large enough for any two of them.
        int minLeft = 0, minTop = 0, maxRight = 0, maxBottom = 0, maxAdvance = 0;
        for (const auto& g : table.glyphs) {
            minLeft = std::min(minLeft, g.left);
            minTop = std::min(minTop, g.top);
            maxRight = std::max(maxRight, g.left + g.width);
            maxBottom = std::max(maxBottom, g.top + g.height);
            maxAdvance = std::max(maxAdvance, g.advance);
        }
        const int ox = 8 - minLeft, oy = 8 - minTop;
        QImage pairCanvas(ox + maxAdvance + maxRight + 16, oy + maxBottom + 8, QImage::Format_RGB32);
        Bitmap mine(pairCanvas.width(), pairCanvas.height());
        for (char16_t a = GlyphTable::kFirst; a <= GlyphTable::kLast; ++a)
            for (char16_t b = GlyphTable::kFirst; b <= GlyphTable::kLast; ++b) {
                const char16_t pair[2] = {a, b};
                pairCanvas.fill(Qt::white);
                {
                    QPainter painter(&pairCanvas);
                    painter.setFont(font);
                    painter.setPen(Qt::black);
                    painter.drawText(QPointF(ox, oy + metrics.ascent()), QString(QChar{a}) + QChar{b});
                }
                std::fill(mine.pixels.begin(), mine.pixels.end(), std::uint8_t{0});
                table.drawText(mine, ox, oy, std::u16string_view(pair, 2));
                for (int y = 0; y < pairCanvas.height(); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(pairCanvas.constScanLine(y));
                    for (int x = 0; x < pairCanvas.width(); ++x)
                        if (IsBlack(row[x]) != mine.black(x, y)) {
                            why = "the label font does not draw \"" + QString(QChar{a}).toStdString()
                                + QString(QChar{b}).toStdString() + "\" as its two glyphs";
                            return std::nullopt;
                        }
                }
            }
        stamps = FontSetupStamps() + FileStamp(FontFile(font)) + LibraryStamps();
        return table;
    }

    const LabelPainter& labelPainter() override { return painter_; }

    std::string encodeJpeg(const Bitmap& bitmap, const Resolution& r, int quality, std::string& bytes) override
    {
        const int w = bitmap.width * r.scale;
        const int h = bitmap.height * r.scale;
        QImage image(w, h, QImage::Format_Grayscale8);
        if (image.isNull())
            return "not enough memory for a " + std::to_string(w) + " x " + std::to_string(h) + " picture";
        for (int y = 0; y < h; ++y) {
            uchar* out = image.scanLine(y);
            const std::uint8_t* src = bitmap.row(y / r.scale);
            for (int x = 0; x < w; ++x)
                out[x] = src[x / r.scale] ? 0 : 255;
        }
        const int dpm = static_cast<int>(std::lround(r.dpi / 0.0254));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPEG");
        writer.setQuality(quality);
        if (!writer.write(image))
            return "cannot make the JPEG: " + writer.errorString().toStdString();
        bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        return {};
    }

    bool readImage(const std::string& path, GrayImage& out, std::string& why) override
    {
        QImageReader reader(QString::fromStdString(path));
        QImage image = reader.read();
        if (image.isNull()) {
            why = reader.errorString().toStdString();
            return false;
        }
        image = image.convertToFormat(QImage::Format_Grayscale8);
        out.width = image.width();
        out.height = image.height();
        out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
        for (int y = 0; y < out.height; ++y)
            std::copy_n(image.constScanLine(y), out.width, out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width);
        return true;
    }

    std::vector<std::string> decode(const GrayImage& image, Symbology typeCode, bool code39Check) override
    {
        if (image.width <= 0 || image.height <= 0)
            return {};
        ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum, image.width);
        ZXing::DecodeHints hints;
        switch (typeCode) {
        case Symbology::Code39: hints.setFormats(ZXing::BarcodeFormat::Code39); break;
        case Symbology::Interleaved2of5: hints.setFormats(ZXing::BarcodeFormat::ITF); break;
        case Symbology::Code128: hints.setFormats(ZXing::BarcodeFormat::Code128); break;
        case Symbology::Codabar: hints.setFormats(ZXing::BarcodeFormat::Codabar); break;
        default: return {};
        }
        hints.setTryHarder(true);
        hints.setTryRotate(false);
        hints.setTryCode39ExtendedMode(false);
        hints.setValidateCode39CheckSum(code39Check);
        hints.setReturnCodabarStartEnd(false);
        std::vector<std::string> texts;
        for (const auto& result : ZXing::ReadBarcodes(view, hints))
            if (result.isValid())
                texts.push_back(result.text());
        return texts;
    }

    void shutdown() override
    {
        std::lock_guard lock(gAppMutex);
        gApp.reset();
    }

private:
    QtLabelPainter painter_;
};

} // namespace

QtServices& QtServicesInstance()
{
    static Services services;
    return services;
}

} // namespace zebrix::cli

extern "C" __attribute__((visibility("default"))) zebrix::cli::QtServices* zebrix_cli_qt_services()
{
    return &zebrix::cli::QtServicesInstance();
}
