// The command line draws labels from a glyph table instead of Qt: it must
// give the window's pixels for every text it can draw, and notice when the
// fonts it was made from change.
#include "barcode/Symbologies.h"
#include "cli/GlyphCache.h"
#include "cli/Layout.h"
#include "cli/qt/QtServicesImpl.h"
#include "qtsurface/ImageSurface.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace zebrix;
using namespace zebrix::cli;

namespace {

const GlyphTable& Table()
{
    static const GlyphTable table = [] {
        std::string stamps, why;
        auto t = QtServicesInstance().buildGlyphTable(stamps, why);
        if (!t)
            ADD_FAILURE() << "no glyph table: " << why;
        return t ? *t : GlyphTable{};
    }();
    return table;
}

QImage ToImage(const Bitmap& b)
{
    QImage image(b.width, b.height, QImage::Format_RGB32);
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            image.setPixel(x, y, b.black(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

// The window's picture and ours, same width (the automatic one, found with Qt's metrics).
void ExpectSameAsWindow(Symbology type, const std::u16string& text, Options options, const LabelPainter& painter)
{
    RenderRequest request;
    request.typeCode = type;
    request.text = text;
    request.options = options;
    const Measure m = MeasureBarcode(request);
    ASSERT_TRUE(m.drawable);
    for (const auto& label : m.labels)
        ASSERT_EQ(painter.textWidth(label.text), ImageSurface::textWidth(label.text))
            << QString::fromStdU16String(label.text).toStdString();
    std::string why;
    const auto width = ImageWidth(request, m, painter, why);
    ASSERT_TRUE(width) << why;
    ImageSurface window(*width, request.height);
    GenerateBarcode(window, type, text, options, window.width());
    const BitmapSurface ours = DrawBarcode(request, *width, painter);
    ASSERT_EQ(ToImage(ours.bitmap()), window.image())
        << "type " << static_cast<int>(type) << " P" << options.widenSpaces << " L" << options.addLabel << " C" << options.addCheck << " \""
        << QString::fromStdU16String(text).toStdString() << "\"";
}

std::u16string Printable()
{
    std::u16string all;
    for (char16_t c = 32; c <= 126; ++c)
        all.push_back(c);
    return all;
}

} // namespace

TEST(FastPath, EveryPrintableCharacterAndManyTextsAsTheWindowDrawsThem)
{
    const GlyphTable& table = Table();
    const std::u16string all = Printable();
    for (int P : {0, 1}) {
        ExpectSameAsWindow(Symbology::Code128, all, Options{P, 1, 0}, table);
        for (char16_t c : all)
            ExpectSameAsWindow(Symbology::Code128, std::u16string(3, c), Options{P, 1, 0}, table);
    }
    // Every pair is checked when the table is made; longer runs here.
    std::mt19937 random(12345);
    for (int i = 0; i < 300; ++i) {
        std::u16string text;
        const int n = 1 + static_cast<int>(random() % 60);
        for (int k = 0; k < n; ++k)
            text.push_back(all[random() % all.size()]);
        ExpectSameAsWindow(Symbology::Code128, text, Options{static_cast<int>(random() % 2), 1, 0}, table);
    }
}

TEST(FastPath, EverySymbologyAndOptionAsTheWindowDrawsIt)
{
    const std::vector<std::pair<Symbology, std::vector<std::u16string>>> samples = {
        {Symbology::Code39, {u"A", u"code39", u"HELLO WORLD", u"-. $/+%", u"ZEBRIX 1.0"}},
        // Odd and even lengths: with P = 1 the label's x is fractional.
        {Symbology::Interleaved2of5, {u"1", u"12", u"123", u"1234", u"98765432101", u"000"}},
        {Symbology::Code128, {u"A", u"Hello, World!", u" ", u"~{|}", u"WWWWiiii", u"AVAVATTo"}},
        {Symbology::Codabar, {u"1", u"a12d", u"-$:/.+", u"0123456789"}},
    };
    for (const auto& [type, texts] : samples)
        for (int P : {0, 1})
            for (int L : {0, 1})
                for (int C : {0, 1})
                    for (const auto& text : texts)
                        ExpectSameAsWindow(type, text, Options{P, L, C}, Table());
}

TEST(FastPath, QtDrawingTheLabelsGivesTheSamePixels)
{
    const LabelPainter& qt = QtServicesInstance().labelPainter();
    EXPECT_EQ(qt.ascent(), Table().ascent());
    for (const std::u16string& text : {std::u16string(u"Hello, World!"), Printable(), std::u16string(u"AV To")})
        for (int P : {0, 1})
            ExpectSameAsWindow(Symbology::Code128, text, Options{P, 1, 0}, qt);
}

TEST(GlyphCache, KeepsTheTableUntilTheFontsChange)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("zebrix/label-glyphs.bin").toStdString();
    const std::string font = dir.filePath("font.ttf").toStdString();
    std::ofstream(font) << "glyphs";
    const std::string stamps = FontSetupStamps() + FileStamp(font);
    ASSERT_EQ(SaveGlyphCache(path, Table(), stamps), "");

    const auto loaded = LoadGlyphCache(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->fontName, Table().fontName);
    Bitmap a(200, 20), b(200, 20);
    Table().drawText(a, 2, 2, u"The quick brown fox, AV & To");
    loaded->drawText(b, 2, 2, u"The quick brown fox, AV & To");
    EXPECT_EQ(a.pixels, b.pixels);

    // A font file that changes, an environment that points fontconfig elsewhere.
    std::ofstream(font, std::ios::app) << " more";
    EXPECT_FALSE(LoadGlyphCache(path));
    ASSERT_EQ(SaveGlyphCache(path, Table(), FontSetupStamps() + FileStamp(font)), "");
    EXPECT_TRUE(LoadGlyphCache(path));
    setenv("FONTCONFIG_FILE", "/nonexistent/fonts.conf", 1);
    EXPECT_FALSE(LoadGlyphCache(path));
    unsetenv("FONTCONFIG_FILE");
    EXPECT_TRUE(LoadGlyphCache(path));
}

TEST(GlyphCache, ADamagedFileIsIgnored)
{
    const std::string good = Table().serialize("E\tX=1\n");
    std::string stamps;
    ASSERT_TRUE(GlyphTable::parse(good, &stamps));
    EXPECT_EQ(stamps, "E\tX=1\n");
    EXPECT_FALSE(GlyphTable::parse(""));
    EXPECT_FALSE(GlyphTable::parse("ZBXGLYF1"));
    for (std::size_t cut : {std::size_t{9}, good.size() / 2, good.size() - 1})
        EXPECT_FALSE(GlyphTable::parse(good.substr(0, cut))) << cut;
    for (std::size_t at : {std::size_t{3}, std::size_t{20}, good.size() / 2, good.size() - 3}) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        EXPECT_FALSE(GlyphTable::parse(bad)) << at;
    }
    std::mt19937 random(7);
    std::string noise(good.size(), '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    EXPECT_FALSE(GlyphTable::parse(noise));

    QTemporaryDir dir;
    const std::string path = dir.filePath("glyphs.bin").toStdString();
    std::ofstream(path) << good.substr(0, 100);
    EXPECT_FALSE(LoadGlyphCache(path));
    EXPECT_FALSE(LoadGlyphCache(dir.filePath("missing.bin").toStdString()));
}
