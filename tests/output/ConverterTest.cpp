// The converter library on its own: bitmap layouts it reads, the JPEG it
// writes, and the bitmaps and paths it refuses.
#include "OutputTestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <functional>

#include <jpeglib.h>

using namespace zebrix;
using namespace zebrix::test;

namespace {

void Put16(QByteArray& b, int at, std::uint32_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(QByteArray& b, int at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

using Rgb = std::array<int, 3>;

// A bitmap laid out by hand, for the layouts Qt does not write.
struct Layout {
    const char* name;
    int bits;
    int infoSize = 40;
    bool topDown = false;
    std::uint32_t compression = 0;
    std::array<std::uint32_t, 3> masks{}; // with compression 3
    std::vector<Rgb> palette;              // bits <= 8
    // The stored value of a pixel: a palette index, or the packed pixel.
    std::function<std::uint32_t(int x, int y)> value;
    // What that pixel should look like.
    std::function<Rgb(int x, int y)> colour;
};

QByteArray BuildBmp(const Layout& l, int width, int height)
{
    const bool core = l.infoSize == 12;
    const int entry = core ? 3 : 4;
    const int masksSize = (l.compression == 3 && l.infoSize == 40) ? 12 : 0;
    const int paletteAt = 14 + l.infoSize + masksSize;
    const int pixelsAt = paletteAt + static_cast<int>(l.palette.size()) * entry;
    const int stride = (width * l.bits + 31) / 32 * 4;
    QByteArray b(pixelsAt + stride * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(pixelsAt));
    Put32(b, 14, static_cast<std::uint32_t>(l.infoSize));
    if (core) {
        Put16(b, 18, static_cast<std::uint32_t>(width));
        Put16(b, 20, static_cast<std::uint32_t>(height));
        Put16(b, 22, 1);
        Put16(b, 24, static_cast<std::uint32_t>(l.bits));
    } else {
        Put32(b, 18, static_cast<std::uint32_t>(width));
        Put32(b, 22, static_cast<std::uint32_t>(l.topDown ? -height : height));
        Put16(b, 26, 1);
        Put16(b, 28, static_cast<std::uint32_t>(l.bits));
        Put32(b, 30, l.compression);
        Put32(b, 38, 3780);
        Put32(b, 42, 3780);
        Put32(b, 46, static_cast<std::uint32_t>(l.palette.size()));
        if (l.compression == 3)
            for (int i = 0; i < 3; ++i)
                Put32(b, 54 + 4 * i, l.masks[static_cast<std::size_t>(i)]);
    }
    for (std::size_t i = 0; i < l.palette.size(); ++i) {
        const int at = paletteAt + static_cast<int>(i) * entry;
        b[at] = static_cast<char>(l.palette[i][2]);
        b[at + 1] = static_cast<char>(l.palette[i][1]);
        b[at + 2] = static_cast<char>(l.palette[i][0]);
    }
    for (int y = 0; y < height; ++y) {
        const int row = pixelsAt + stride * (l.topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = l.value(x, y);
            if (l.bits < 8) {
                const int bit = x * l.bits;
                const int shift = 8 - l.bits - bit % 8;
                b[row + bit / 8] = static_cast<char>(static_cast<unsigned char>(b[row + bit / 8]) | (v << shift));
            } else {
                for (int i = 0; i < l.bits / 8; ++i)
                    b[row + x * l.bits / 8 + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
            }
        }
    }
    return b;
}

struct JpegFacts {
    int components = 0;
    std::vector<std::pair<int, int>> sampling;
    int firstQuantiser = 0;
    int densityUnit = 0;
    int xDensity = 0;
};

JpegFacts Inspect(const QByteArray& jpeg)
{
    JpegFacts facts;
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    facts.components = info.num_components;
    for (int c = 0; c < info.num_components; ++c)
        facts.sampling.emplace_back(info.comp_info[c].h_samp_factor, info.comp_info[c].v_samp_factor);
    facts.firstQuantiser = info.quant_tbl_ptrs[0] ? info.quant_tbl_ptrs[0]->quantval[0] : 0;
    facts.densityUnit = info.density_unit;
    facts.xDensity = info.X_density;
    jpeg_destroy_decompress(&info);
    return facts;
}

QByteArray QtBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "BMP").write(image);
    return bytes;
}

} // namespace

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NE(RealConverter(), nullptr);
    }
    // Converts the bytes; the JPEG, or empty with the result code.
    int convert(const QByteArray& bmp, int ratio = 100, int flags = 1)
    {
        if (!WriteAll(source(), bmp))
            return -100;
        QFile::remove(destination());
        return RealConverter()(QFile::encodeName(source()).constData(), QFile::encodeName(destination()).constData(),
                               ratio, flags);
    }
    QString source() const { return dir.filePath("in.bmp"); }
    QString destination() const { return dir.filePath("out.jpg"); }
    QByteArray output() const { return ReadAll(destination()); }

    QTemporaryDir dir;
};

TEST_F(ConverterTest, BlackAndWhiteBecomesGrayscaleAndRatioSetsTheQuality)
{
    SurfaceHost host;
    host.draw(Symbology::Code128, u"Zebrix");
    const QImage picture = host.currentImage().convertToFormat(QImage::Format_RGB888);
    // Quality (ratio + 100) / 2, seen in libjpeg's first luminance quantiser
    // (16 at quality 50, scaled).
    const std::vector<std::pair<int, int>> quantisers = {{20, 13}, {50, 8}, {80, 3}, {100, 1}};
    for (const auto& [ratio, quantiser] : quantisers) {
        ASSERT_EQ(convert(QtBmp(picture), ratio), ZAREZU_OK) << ratio;
        const JpegFacts facts = Inspect(output());
        EXPECT_EQ(facts.components, 1) << ratio;
        EXPECT_EQ(facts.firstQuantiser, quantiser) << ratio;
        EXPECT_EQ(facts.densityUnit, 1);
        EXPECT_EQ(facts.xDensity, 96); // Qt's 3780 dots per metre
    }
    // At 100 the picture comes back all but exactly.
    ASSERT_EQ(convert(QtBmp(picture), 100), ZAREZU_OK);
    const QImage back = QImage(destination()).convertToFormat(QImage::Format_Grayscale8);
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    ASSERT_EQ(back.size(), gray.size());
    int worst = 0;
    for (int y = 0; y < gray.height(); ++y)
        for (int x = 0; x < gray.width(); ++x)
            worst = std::max(worst, std::abs(back.constScanLine(y)[x] - gray.constScanLine(y)[x]));
    EXPECT_LE(worst, 8);
}

TEST_F(ConverterTest, ColourKeepsEveryChannelAtFullResolution)
{
    QImage stripes(64, 16, QImage::Format_RGB888);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixelColor(x, y, x % 2 ? QColor(255, 0, 0) : QColor(0, 0, 255));
    ASSERT_EQ(convert(QtBmp(stripes), 90), ZAREZU_OK);
    const JpegFacts facts = Inspect(output());
    ASSERT_EQ(facts.components, 3);
    for (const auto& s : facts.sampling)
        EXPECT_EQ(s, std::make_pair(1, 1));
    // One-pixel colour stripes survive: no chroma averaging over two columns.
    const QImage back(destination());
    for (int x = 8; x < 56; ++x) {
        const QColor c = back.pixelColor(x, 8);
        if (x % 2)
            EXPECT_GT(c.red(), c.blue() + 100) << x;
        else
            EXPECT_GT(c.blue(), c.red() + 100) << x;
    }
}

TEST_F(ConverterTest, ReadsEveryUncompressedLayout)
{
    // Four colour blocks, 8 by 8 each: easy on JPEG, telling on layout errors.
    const std::vector<Rgb> colours = {{255, 255, 255}, {0, 0, 0}, {200, 40, 40}, {40, 40, 200}};
    auto block = [](int x, int y) { return (x / 8) % 2 + 2 * ((y / 8) % 2); };
    auto byBlock = [&](int x, int y) { return colours[static_cast<std::size_t>(block(x, y))]; };
    // Channels stored at `bits` bits each (green at greenBits), and what they read back as.
    auto packed = [&](int shiftR, int shiftG, int shiftB, int bits, int greenBits = 0) {
        return [=](int x, int y) {
            const Rgb c = byBlock(x, y);
            auto scaled = [](int v, int n) { return static_cast<std::uint32_t>(v) * ((1u << n) - 1) / 255; };
            return scaled(c[0], bits) << shiftR | scaled(c[1], greenBits ? greenBits : bits) << shiftG
                | scaled(c[2], bits) << shiftB;
        };
    };
    auto approx = [&](int bits, int greenBits = 0) {
        return [=](int x, int y) {
            Rgb c = byBlock(x, y);
            for (int i = 0; i < 3; ++i) {
                const int top = (1 << (i == 1 && greenBits ? greenBits : bits)) - 1;
                c[static_cast<std::size_t>(i)] = c[static_cast<std::size_t>(i)] * top / 255 * 255 / top;
            }
            return c;
        };
    };
    auto indexed = [&](int x, int y) { return static_cast<std::uint32_t>(block(x, y)); };
    const std::vector<Rgb> twoColours = {{255, 255, 255}, {0, 0, 0}};
    auto twoIndexed = [&](int x, int y) { return static_cast<std::uint32_t>(block(x, y) % 2); };
    auto twoColour = [&](int x, int y) { return twoColours[static_cast<std::size_t>(block(x, y) % 2)]; };

    const std::vector<Layout> layouts = {
        {"1-bit", 1, 40, false, 0, {}, twoColours, twoIndexed, twoColour},
        {"4-bit", 4, 40, false, 0, {}, colours, indexed, byBlock},
        {"8-bit", 8, 40, false, 0, {}, colours, indexed, byBlock},
        {"8-bit top-down", 8, 40, true, 0, {}, colours, indexed, byBlock},
        {"8-bit core", 8, 12, false, 0, {}, colours, indexed, byBlock},
        {"16-bit 555", 16, 40, false, 0, {}, {}, packed(10, 5, 0, 5), approx(5)},
        {"16-bit 565", 16, 40, false, 3, {0xF800, 0x07E0, 0x001F}, {}, packed(11, 5, 0, 5, 6), approx(5, 6)},
        {"24-bit", 24, 40, false, 0, {}, {}, packed(16, 8, 0, 8), byBlock},
        {"24-bit top-down", 24, 40, true, 0, {}, {}, packed(16, 8, 0, 8), byBlock},
        {"24-bit core", 24, 12, false, 0, {}, {}, packed(16, 8, 0, 8), byBlock},
        {"24-bit v5 header", 24, 124, false, 0, {}, {}, packed(16, 8, 0, 8), byBlock},
        {"32-bit", 32, 40, false, 0, {}, {}, packed(16, 8, 0, 8), byBlock},
        {"32-bit fields", 32, 40, false, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, {}, packed(0, 8, 16, 8), byBlock},
        {"32-bit v4 fields", 32, 108, false, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, {}, packed(24, 16, 8, 8), byBlock},
    };
    for (const Layout& l : layouts) {
        constexpr int kWidth = 35; // odd: rows need padding
        constexpr int kHeight = 24;
        ASSERT_EQ(convert(BuildBmp(l, kWidth, kHeight), 100), ZAREZU_OK) << l.name;
        const QImage back(destination());
        ASSERT_EQ(back.size(), QSize(kWidth, kHeight)) << l.name;
        int worst = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const QColor got = back.pixelColor(x, y);
                const Rgb want = l.colour(x, y);
                worst = std::max({worst, std::abs(got.red() - want[0]), std::abs(got.green() - want[1]),
                                  std::abs(got.blue() - want[2])});
            }
        EXPECT_LE(worst, 12) << l.name;
    }
}

TEST_F(ConverterTest, RefusesEveryCutShortBitmapWithoutWritingAnything)
{
    SurfaceHost host(40);
    host.draw(Symbology::Code39, u"A");
    const QByteArray bmp = QtBmp(host.currentImage().convertToFormat(QImage::Format_RGB888));
    for (qsizetype n = 0; n < bmp.size(); ++n) {
        const int result = convert(bmp.left(n));
        ASSERT_EQ(result, ZAREZU_NOT_A_BMP) << n;
        ASSERT_FALSE(QFile::exists(destination())) << n;
    }
    EXPECT_EQ(convert(bmp), ZAREZU_OK);
}

TEST_F(ConverterTest, RefusesHostileHeadersWithoutWritingAnything)
{
    const std::vector<Rgb> palette = {{0, 0, 0}, {255, 255, 255}};
    const Layout base{"8-bit", 8, 40, false, 0, {}, palette, [](int x, int) { return std::uint32_t(x % 2); }, {}};
    const QByteArray good = BuildBmp(base, 16, 4);
    ASSERT_EQ(convert(good), ZAREZU_OK);

    struct Change {
        const char* name;
        int at;
        int size;
        std::uint32_t value;
    };
    const std::vector<Change> changes = {
        {"magic", 0, 2, 0x4142},
        {"pixel offset past the end", 10, 4, 0xFFFFFFFF},
        {"pixel offset near the end", 10, 4, static_cast<std::uint32_t>(good.size() - 8)},
        {"header size 0", 14, 4, 0},
        {"header size 13", 14, 4, 13},
        {"header size 64", 14, 4, 64},
        {"header size past the end", 14, 4, 0x7FFFFFFF},
        {"width 0", 18, 4, 0},
        {"negative width", 18, 4, static_cast<std::uint32_t>(-16)},
        {"width too wide", 18, 4, 70000},
        {"height 0", 22, 4, 0},
        {"smallest height", 22, 4, 0x80000000},
        {"huge area, little data", 18, 4, 65000},
        {"bits 0", 28, 2, 0},
        {"bits 2", 28, 2, 2},
        {"bits 7", 28, 2, 7},
        {"bits 64", 28, 2, 64},
        {"RLE8", 30, 4, 1},
        {"RLE4", 30, 4, 2},
        {"bit fields on 8 bits", 30, 4, 3},
        {"embedded JPEG", 30, 4, 4},
        {"embedded PNG", 30, 4, 5},
        {"unknown compression", 30, 4, 0xFFFFFFFF},
    };
    for (const Change& c : changes) {
        QByteArray bad = good;
        if (c.size == 2)
            Put16(bad, c.at, c.value);
        else
            Put32(bad, c.at, c.value);
        const int result = convert(bad);
        EXPECT_EQ(result, ZAREZU_NOT_A_BMP) << c.name;
        EXPECT_FALSE(QFile::exists(destination())) << c.name;
    }
    // Absurd resolutions are brought into the JPEG's range, not refused.
    QByteArray dense = good;
    Put32(dense, 38, 0x7FFFFFFF);
    Put32(dense, 42, 0x7FFFFFFF);
    ASSERT_EQ(convert(dense), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).xDensity, 65535);

    // A colour count past 256 counts as 256 entries, which this file does not hold.
    QByteArray many = good;
    Put32(many, 46, 0xFFFFFFFF);
    EXPECT_EQ(convert(many), ZAREZU_NOT_A_BMP);
}

TEST_F(ConverterTest, RandomDamageNeverCrashesAndNeverLeavesAHalfFile)
{
    SurfaceHost host(64);
    host.draw(Symbology::Codabar, u"12");
    const QByteArray good = QtBmp(host.currentImage().convertToFormat(QImage::Format_Indexed8));
    QRandomGenerator random(7);
    int converted = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray bad = good;
        const int hits = 1 + random.bounded(6);
        for (int i = 0; i < hits; ++i) {
            // Mostly the headers, where damage matters most.
            const int at = random.bounded(2) ? random.bounded(std::min(static_cast<int>(bad.size()), 128))
                                          : random.bounded(static_cast<int>(bad.size()));
            bad[at] = static_cast<char>(random.bounded(256));
        }
        const int result = convert(bad, 20 + random.bounded(81));
        if (result == ZAREZU_OK) {
            ++converted;
            EXPECT_FALSE(QImage(destination()).isNull()) << round;
        } else {
            EXPECT_EQ(result, ZAREZU_NOT_A_BMP) << round;
            EXPECT_FALSE(QFile::exists(destination())) << round;
        }
    }
    EXPECT_GT(converted, 0); // damage to the pixels alone still converts
}

TEST_F(ConverterTest, PathsAndArguments)
{
    SurfaceHost host(40);
    const QByteArray bmp = QtBmp(host.currentImage().convertToFormat(QImage::Format_RGB888));
    ASSERT_TRUE(WriteAll(source(), bmp));
    const QByteArray in = QFile::encodeName(source());
    const QByteArray out = QFile::encodeName(destination());
    const auto convert = RealConverter();

    EXPECT_EQ(convert(nullptr, out.constData(), 80, 1), ZAREZU_BAD_ARGUMENT);
    EXPECT_EQ(convert(in.constData(), nullptr, 80, 1), ZAREZU_BAD_ARGUMENT);
    EXPECT_EQ(convert("", out.constData(), 80, 1), ZAREZU_BAD_ARGUMENT);
    EXPECT_EQ(convert(QFile::encodeName(dir.filePath("none.bmp")).constData(), out.constData(), 80, 1), ZAREZU_CANNOT_READ);
    EXPECT_EQ(convert(QFile::encodeName(dir.path()).constData(), out.constData(), 80, 1), ZAREZU_CANNOT_READ);
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.bmp"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    EXPECT_EQ(convert(fifo.constData(), out.constData(), 80, 1), ZAREZU_CANNOT_READ); // and no wait for a writer
    EXPECT_FALSE(QFile::exists(destination()));

    EXPECT_EQ(convert(in.constData(), QFile::encodeName(dir.filePath("no/out.jpg")).constData(), 80, 1), ZAREZU_CANNOT_WRITE);
    EXPECT_EQ(convert(in.constData(), QFile::encodeName(dir.path()).constData(), 80, 1), ZAREZU_CANNOT_WRITE);

    // An existing file is replaced; the source is left alone.
    ASSERT_TRUE(WriteAll(destination(), QByteArray(100000, 'x')));
    EXPECT_EQ(convert(in.constData(), out.constData(), 80, 1), ZAREZU_OK);
    EXPECT_TRUE(output().startsWith("\xFF\xD8\xFF"));
    EXPECT_LT(output().size(), 100000);
    EXPECT_EQ(ReadAll(source()), bmp);

    // Ratios outside 1 to 100 are brought back into it.
    EXPECT_EQ(convert(in.constData(), out.constData(), 0, 1), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).firstQuantiser, 16); // as ratio 1: quality 50
    EXPECT_EQ(convert(in.constData(), out.constData(), 1000, 1), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).firstQuantiser, 1);

    // Without the optimising flag: same pixels, a file no smaller.
    EXPECT_EQ(convert(in.constData(), out.constData(), 80, 1), ZAREZU_OK);
    const QByteArray optimised = output();
    EXPECT_EQ(convert(in.constData(), out.constData(), 80, 0), ZAREZU_OK);
    EXPECT_GE(output().size(), optimised.size());
    EXPECT_EQ(QImage::fromData(output()), QImage::fromData(optimised));
}
