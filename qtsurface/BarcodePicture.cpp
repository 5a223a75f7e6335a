#include "BarcodePicture.h"

#include "barcode/Paint.h"
#include "platform/Look.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace zebrix {

namespace {

// The window's image as a raster for the painter.
class ImageRaster {
public:
    explicit ImageRaster(QImage& image)
        : image_(image)
        , bits_(image.bits())
        , stride_(image.bytesPerLine())
    {
    }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    void setBlack(int x, int y) { reinterpret_cast<QRgb*>(bits_ + y * stride_)[x] = qRgb(0, 0, 0); }

private:
    QImage& image_;
    uchar* bits_;
    qsizetype stride_;
};

} // namespace

BarcodePicture::BarcodePicture(int width, int height) { resize(width, height); }

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
        QFont font = UiFont(FontFace::MsSansSerif, kPixels8_25pt, false);
        // Plain black pixels, like the bars: crisp, and the same on every screen.
        font.setStyleStrategy(QFont::NoAntialias);
        font.setHintingPreference(QFont::PreferFullHinting);
        return font;
    }();
    return font;
}

namespace {

// Characters that show nothing of their own (controls, line and paragraph
// separators, blanks other than the space, format characters, private and
// unassigned ones, half a surrogate pair) and the few letters and marks
// fonts leave blank (Hangul fillers, variation selectors): they are named by
// their code.
bool ShowsNothing(char32_t c)
{
    if (c == U' ')
        return false;
    if ((c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF) || (c >= 0x180B && c <= 0x180F) || c == 0x034F
        || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 || c == 0x3164 || c == 0xFFA0)
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: return false;
    }
}

} // namespace

QString BarcodePicture::displayText(std::u16string_view text, int maxUnits)
{
    const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(std::max(maxUnits, 0)));
    // No font installed may hold a character (full-width digits, a script
    // nobody added): it would show as an empty box, so it is named too.
    const QFontMetrics metrics(messageFont());
    QString s;
    s.reserve(static_cast<qsizetype>(n) + 8);
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = text[i];
        std::size_t units = 1;
        if (QChar::isHighSurrogate(text[i]) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        if (ShowsNothing(c) || (c >= 0x80 && !metrics.inFontUcs4(c)))
            s += QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
        else
            s += QStringView(text.data() + i, static_cast<qsizetype>(units));
        i += units - 1;
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
    // The line's top at the surface's top: the baseline goes down from the
    // font's ascent as far as the message's highest ink needs (an accent on a
    // capital, "É", reaches above the ascent), so nothing is cut.
    const QFontMetrics metrics(font);
    const int top = metrics.tightBoundingRect(shown).top();
    painter.drawText(QPointF(0, std::max(metrics.ascent(), -top)), shown);
}

void BarcodePicture::setBackgroundPicture(const QImage& picture) { background_ = picture; }

void BarcodePicture::clearBackgroundPicture() { background_ = QImage(); }

} // namespace zebrix
