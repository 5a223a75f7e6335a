// Writes barcode/LabelFontGlyphs.cpp: the human-readable line's font as
// pixels, so that every program draws labels the same way without a font
// library. The glyphs are Liberation Sans (fonts-liberation 1.07) at 11
// pixels, without antialiasing, as Qt draws it; every pair of characters
// drawn from the table is checked against Qt before anything is written.
//
//   QT_QPA_PLATFORM=offscreen zebrix-make-label-font barcode/LabelFontGlyphs.cpp
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr char16_t kFirst = 32;
constexpr char16_t kLast = 126;

struct Glyph {
    int advance = 0, left = 0, top = 0, width = 0, height = 0;
    std::vector<bool> bits;
};

QFont LabelFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

bool Black(QRgb p) { return qGray(p) < 128; }

QImage Draw(const QFont& font, const QString& s, QSize size, QPoint origin)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(origin.x(), origin.y() + QFontMetrics(font).ascent()), s);
    return canvas;
}

int Fail(const char* why)
{
    std::fprintf(stderr, "zebrix-make-label-font: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return Fail("usage: zebrix-make-label-font OUTPUT.cpp");
    const QFont font = LabelFont();
    if (QFontInfo(font).family() != QStringLiteral("Liberation Sans"))
        return Fail("Liberation Sans is not installed (apt-get install fonts-liberation)");
    const QFontMetrics metrics(font);

    std::vector<Glyph> glyphs(kLast - kFirst + 1);
    const QPoint origin(64, 64);
    for (char16_t c = kFirst; c <= kLast; ++c) {
        const QImage canvas = Draw(font, QString(QChar(c)), QSize(256, 128), origin);
        int x0 = canvas.width(), y0 = canvas.height(), x1 = -1, y1 = -1;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb p = canvas.pixel(x, y);
                if (p != qRgb(0, 0, 0) && p != qRgb(255, 255, 255))
                    return Fail("the font is not drawn in black and white");
                if (Black(p))
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
        Glyph& g = glyphs[c - kFirst];
        g.advance = metrics.horizontalAdvance(QString(QChar(c)));
        if (x1 < 0)
            continue;
        g.left = x0 - origin.x();
        g.top = y0 - origin.y();
        g.width = x1 - x0 + 1;
        g.height = y1 - y0 + 1;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                g.bits.push_back(Black(canvas.pixel(x, y)));
    }

    struct Kern {
        char16_t a, b;
        int k;
    };
    std::vector<Kern> kerning;
    for (char16_t a = kFirst; a <= kLast; ++a)
        for (char16_t b = kFirst; b <= kLast; ++b) {
            const int k = metrics.horizontalAdvance(QString(QChar(a)) + QChar(b)) - glyphs[a - kFirst].advance
                - glyphs[b - kFirst].advance;
            if (k != 0)
                kerning.push_back({a, b, k});
        }

    // Every pair drawn glyph by glyph must give Qt's pixels.
    const QSize pairSize(64, 40);
    const QPoint pairOrigin(16, 12);
    for (char16_t a = kFirst; a <= kLast; ++a)
        for (char16_t b = kFirst; b <= kLast; ++b) {
            const QImage qt = Draw(font, QString(QChar(a)) + QChar(b), pairSize, pairOrigin);
            QImage mine(pairSize, QImage::Format_RGB32);
            mine.fill(Qt::white);
            int pen = pairOrigin.x();
            for (char16_t c : {a, b}) {
                if (c == b)
                    for (const Kern& k : kerning)
                        if (k.a == a && k.b == b)
                            pen += k.k;
                const Glyph& g = glyphs[c - kFirst];
                for (int y = 0; y < g.height; ++y)
                    for (int x = 0; x < g.width; ++x)
                        if (g.bits[static_cast<std::size_t>(y * g.width + x)])
                            mine.setPixel(pen + g.left + x, pairOrigin.y() + g.top + y, qRgb(0, 0, 0));
                pen += g.advance;
            }
            for (int y = 0; y < pairSize.height(); ++y)
                for (int x = 0; x < pairSize.width(); ++x)
                    if (Black(qt.pixel(x, y)) != Black(mine.pixel(x, y)))
                        return Fail("a pair of characters is not drawn as its two glyphs");
        }

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Fail("cannot write the output file");
    QString s;
    s += QStringLiteral("// Generated by barcode/tools/MakeLabelFont.cpp (scripts/make-label-font.sh); do not edit.\n"
                        "// Liberation Sans 1.07, Copyright (c) 2007 Red Hat, Inc., licensed under the GNU General\n"
                        "// Public License version 2 with the font exception (see barcode/LabelFont.LICENSE):\n"
                        "// its glyphs for the printable ASCII characters at 11 pixels, without antialiasing.\n"
                        "#include \"LabelFont.h\"\n\nnamespace zebrix::label_font {\n\n");
    s += QStringLiteral("const int kAscent = %1;\n\n").arg(metrics.ascent());
    s += QStringLiteral("// advance, left, top, width, height, then the rows top to bottom ('#' black),\n"
                        "// each row width characters, rows apart by a blank.\n");
    s += QStringLiteral("const Glyph kGlyphs[kCount] = {\n");
    for (char16_t c = kFirst; c <= kLast; ++c) {
        const Glyph& g = glyphs[c - kFirst];
        QString rows;
        for (int y = 0; y < g.height; ++y) {
            if (y > 0)
                rows += u' ';
            for (int x = 0; x < g.width; ++x)
                rows += g.bits[static_cast<std::size_t>(y * g.width + x)] ? u'#' : u'.';
        }
        const QString name = c == u' ' ? QStringLiteral("space")
            : c == u'\\'               ? QStringLiteral("backslash")
                                       : QString(QChar(c));
        s += QStringLiteral("    {%1, %2, %3, %4, %5, \"%6\"}, // %7\n")
                 .arg(g.advance)
                 .arg(g.left)
                 .arg(g.top)
                 .arg(g.width)
                 .arg(g.height)
                 .arg(rows, name);
    }
    s += QStringLiteral("};\n\n// Pairs drawn closer (negative) or further apart than their advances say.\n");
    s += QStringLiteral("const Kern kKerning[] = {");
    auto lit = [](char16_t c) {
        if (c == u'\'' || c == u'\\')
            return QStringLiteral("'\\%1'").arg(QChar(c));
        return QStringLiteral("'%1'").arg(QChar(c));
    };
    for (std::size_t i = 0; i < kerning.size(); ++i) {
        s += i % 6 == 0 ? QStringLiteral("\n    ") : QStringLiteral(" ");
        s += QStringLiteral("{%1, %2, %3},").arg(lit(kerning[i].a), lit(kerning[i].b)).arg(kerning[i].k);
    }
    s += QStringLiteral("\n");
    s += QStringLiteral("};\nconst std::size_t kKerningCount = sizeof kKerning / sizeof kKerning[0];\n\n} // namespace "
                        "zebrix::label_font\n");
    std::fprintf(stderr, "%zu kerning pairs\n", kerning.size());
    out.write(s.toUtf8());
    return 0;
}
