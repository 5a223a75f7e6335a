// Draws the about dialog's pictures: the logo (105 x 63, 24-bit), the
// donation button (100 x 44, written as PNG; the script turns it into a GIF)
// and the program's icon (32 x 32). Usage: zebrix-about-pictures FOLDER
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QColor kGreen(0, 255, 0);

QFont Sans(int pixels, bool bold, bool italic = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Bars of a barcode-like strip: widths in pixels, bar and space in turn.
void DrawBars(QPainter& p, int left, int top, int height, int unit, const int* widths, int count)
{
    int x = left;
    for (int i = 0; i < count; ++i) {
        const int w = widths[i] * unit;
        if (i % 2 == 0)
            p.fillRect(x, top, w, height, Qt::black);
        x += w;
    }
}

QImage Logo()
{
    QImage image(105, 63, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A white label with bars, as it comes out of the printer.
    QPainterPath card;
    card.addRoundedRect(QRectF(6.5, 3.5, 92, 38), 5, 5);
    p.fillPath(card, Qt::white);
    p.setPen(QPen(kGreen, 1));
    p.drawPath(card);

    p.setRenderHint(QPainter::Antialiasing, false);
    static const int widths[] = {2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 1, 1, 2, 1, 3, 2, 1, 1, 1, 2, 2, 1, 1, 3, 1, 1, 2,
        2, 1, 1, 3, 1, 1, 2, 1, 2, 2, 1, 1, 1, 2};
    int total = 0;
    for (int w : widths)
        total += w;
    DrawBars(p, 52 - total / 2, 8, 29, 1, widths, static_cast<int>(std::size(widths)));

    // The zebra's stripe across the bars.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath stripe;
    stripe.moveTo(12, 31);
    stripe.cubicTo(35, 22, 65, 36, 93, 16);
    p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stripe);

    p.setFont(Sans(13, true));
    p.setPen(kGreen);
    p.drawText(QRect(0, 43, 105, 19), Qt::AlignCenter, QStringLiteral("ZEBRIX"));
    return image;
}

QImage Donate()
{
    QImage image(100, 44, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath button;
    button.addRoundedRect(QRectF(0.5, 0.5, 99, 43), 9, 9);
    QLinearGradient gold(0, 0, 0, 44);
    gold.setColorAt(0, QColor(255, 243, 196));
    gold.setColorAt(1, QColor(245, 180, 50));
    p.fillPath(button, gold);
    p.setPen(QPen(QColor(176, 116, 24), 1));
    p.drawPath(button);

    // A heart.
    QPainterPath heart;
    heart.moveTo(15, 29);
    heart.cubicTo(4, 21, 6, 11, 11, 11);
    heart.cubicTo(13.5, 11, 15, 13, 15, 15);
    heart.cubicTo(15, 13, 16.5, 11, 19, 11);
    heart.cubicTo(24, 11, 26, 21, 15, 29);
    p.fillPath(heart, QColor(214, 40, 57));

    p.setPen(QColor(18, 48, 107));
    p.setFont(Sans(12, true));
    p.drawText(QRect(27, 6, 71, 18), Qt::AlignCenter, QStringLiteral("Faire un"));
    p.drawText(QRect(27, 20, 71, 18), Qt::AlignCenter, QStringLiteral("don"));
    return image;
}

QImage Icon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, 32, 32), 6, 6);
    p.fillPath(tile, Qt::black);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(4, 5, 24, 18, Qt::white);
    static const int widths[] = {1, 1, 2, 1, 1, 2, 3, 1, 1, 1, 2, 1, 1, 2, 1};
    DrawBars(p, 6, 7, 14, 1, widths, static_cast<int>(std::size(widths)));
    p.fillRect(4, 25, 24, 3, kGreen);
    return image;
}

bool Save(const QImage& image, const QString& path)
{
    if (image.save(path))
        return true;
    std::fprintf(stderr, "zebrix-about-pictures: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: zebrix-about-pictures FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = Save(Logo(), folder.filePath(QStringLiteral("logo.png")))
        && Save(Donate(), folder.filePath(QStringLiteral("donate.png")))
        && Save(Icon(), folder.filePath(QStringLiteral("zebrix.png")));
    return ok ? 0 : 1;
}
