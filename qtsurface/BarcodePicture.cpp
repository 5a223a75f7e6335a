#include "BarcodePicture.h"

#include "barcode/Paint.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace zebrix {

namespace {

// The window's image as a raster for the painter.
class ImageRaster {
public:
    explicit ImageRaster(QImage& image) : image_(image), bits_(image.bits()), stride_(image.bytesPerLine()) {}
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    void setBlack(int x, int y) { reinterpret_cast<QRgb*>(bits_ + y * stride_)[x] = qRgb(0, 0, 0); }

private:
    QImage& image_;
    uchar* bits_;
    qsizetype stride_;
};

} // namespace

BarcodePicture::BarcodePicture(int width, int height)
{
    resize(width, height);
}

void BarcodePicture::resize(int width, int height)
{
    image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    // One pixel is one screen pixel at 96 dots per inch, whatever the screen:
    // files written from the picture carry that resolution.
    image_.setDotsPerMeterX(kDotsPerMeter);
    image_.setDotsPerMeterY(kDotsPerMeter);
    clear();
}

void BarcodePicture::clear()
{
    image_.fill(Qt::white);
    if (!background_.isNull()) {
        QPainter painter(&image_);
        painter.drawImage(QPoint(0, 0), background_);
    }
}

void BarcodePicture::show(const Drawing& drawing)
{
    if (drawing.kind == Drawing::Kind::Unchanged)
        return;
    clear();
    if (drawing.kind == Drawing::Kind::Message) {
        writeMessage(drawing.message);
        return;
    }
    ImageRaster raster(image_);
    PaintBars(drawing, raster);
}

QFont BarcodePicture::messageFont()
{
    static const QFont font = [] {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11); // 8.25 pt at 96 dots per inch
    font.setWeight(QFont::Normal);
    // Plain black pixels, like the bars: crisp, and the same on every screen.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
    }();
    return font;
}

QString BarcodePicture::displayText(std::u16string_view text, int maxUnits)
{
    const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(std::max(maxUnits, 0)));
    // A character that draws nothing (a format character such as a
    // direction override, or half a surrogate pair) is shown as its code.
    const auto code = [](char32_t c) {
        return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
    };
    QString s;
    s.reserve(static_cast<qsizetype>(n) + 8);
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t u = text[i];
        if (u < 0x20) {
            s += QChar(char16_t(0x2400 + u)); // control pictures: one line, nothing hidden
        } else if (u == 0x7F) {
            s += QChar(char16_t(0x2421));
        } else if (u == 0x2028 || u == 0x2029 || u == 0x85) {
            s += QChar(char16_t(0x2424));
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
            const char32_t c = QChar::surrogateToUcs4(u, text[i + 1]);
            if (QChar::category(c) == QChar::Other_Format) {
                s += code(c);
            } else {
                s += QChar(u);
                s += QChar(text[i + 1]);
            }
            ++i;
        } else if (QChar::isSurrogate(u) || QChar::category(u) == QChar::Other_Format) {
            s += code(u);
        } else {
            s += QChar(u);
        }
    }
    // A mark with nothing before it sits on a dotted circle, as Unicode shows one alone.
    if (!s.isEmpty() && s.front().isMark())
        s.prepend(QChar(char16_t(0x25CC)));
    return s;
}

void BarcodePicture::writeMessage(std::u16string_view text)
{
    const int room = image_.width();
    // Every drawn character is at least a pixel wide; the slack covers
    // combining marks, so nothing that could show is cut.
    const QString shown = displayText(text, 4 * room + 64);
    QPainter painter(&image_);
    // Left to right whatever the text holds: a message starts with the
    // character it names, even a Hebrew or Arabic one.
    painter.setLayoutDirection(Qt::LeftToRight);
    const QFont font = messageFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    painter.drawText(QPointF(0, metrics.ascent()), shown);
}

void BarcodePicture::setBackgroundPicture(const QImage& picture)
{
    background_ = picture;
}

void BarcodePicture::clearBackgroundPicture()
{
    background_ = QImage();
}

} // namespace zebrix
