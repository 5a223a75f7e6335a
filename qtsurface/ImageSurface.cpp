#include "ImageSurface.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zebrix {

namespace {

QRgb ToRgb(long colour)
{
    // Colours come as 0x00BBGGRR.
    const auto c = static_cast<unsigned long>(colour);
    return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

int ToPixel(float v)
{
    if (!std::isfinite(v))
        return v > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    const double r = std::floor(static_cast<double>(v) + 0.5);
    return static_cast<int>(std::clamp(r, -1e9, 1e9));
}

} // namespace

ImageSurface::ImageSurface(int width, int height)
{
    resize(width, height);
}

void ImageSurface::resize(int width, int height)
{
    image_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    // One pixel is one screen pixel at 96 dots per inch, whatever the screen:
    // files written from the surface carry that resolution.
    image_.setDotsPerMeterX(kDotsPerMeter);
    image_.setDotsPerMeterY(kDotsPerMeter);
    Clear();
}

void ImageSurface::Clear()
{
    image_.fill(Qt::white);
    if (!background_.isNull()) {
        QPainter painter(&image_);
        painter.drawImage(QPoint(0, 0), background_);
    }
    textPosition_ = QPointF(0, 0);
}

void ImageSurface::DrawLine(float x1, float y1, float x2, float y2, long colour)
{
    const QRgb rgb = ToRgb(colour);
    const int px1 = ToPixel(x1);
    if (px1 == ToPixel(x2)) {
        // Vertical line: both end points included, as a one-pixel pen draws it.
        if (px1 < 0 || px1 >= image_.width())
            return;
        const int top = std::max(std::min(ToPixel(y1), ToPixel(y2)), 0);
        const int bottom = std::min(std::max(ToPixel(y1), ToPixel(y2)), image_.height() - 1);
        if (top > bottom)
            return;
        uchar* bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        for (int y = top; y <= bottom; ++y)
            reinterpret_cast<QRgb*>(bits + y * stride)[px1] = rgb;
        return;
    }
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(rgb), 0));
    painter.drawLine(QPoint(px1, ToPixel(y1)), QPoint(ToPixel(x2), ToPixel(y2)));
}

void ImageSurface::SetTextPosition(float x, float y)
{
    textPosition_ = QPointF(ToPixel(x), ToPixel(y));
}

QFont ImageSurface::labelFont()
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

QString ImageSurface::displayText(std::u16string_view text, int maxUnits)
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

int ImageSurface::textWidth(std::u16string_view text)
{
    const QFontMetrics metrics(labelFont());
    return metrics.horizontalAdvance(displayText(text, static_cast<int>(std::min<std::size_t>(text.size(), 1 << 20))));
}

void ImageSurface::PrintText(std::u16string_view text)
{
    const int room = image_.width() - static_cast<int>(textPosition_.x());
    if (room <= 0 || textPosition_.y() >= image_.height())
        return;
    // Every drawn character is at least a pixel wide; the slack covers
    // combining marks, so nothing that could show is cut.
    const QString shown = displayText(text, 4 * room + 64);
    QPainter painter(&image_);
    // Left to right whatever the text holds: a message starts with the
    // character it names, even a Hebrew or Arabic one.
    painter.setLayoutDirection(Qt::LeftToRight);
    const QFont font = labelFont();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font);
    painter.drawText(QPointF(textPosition_.x(), textPosition_.y() + metrics.ascent()), shown);
}

void ImageSurface::setBackgroundPicture(const QImage& picture)
{
    background_ = picture;
}

void ImageSurface::clearBackgroundPicture()
{
    background_ = QImage();
}

} // namespace zebrix
