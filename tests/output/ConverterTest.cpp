// The converter library on its own: bitmap layouts it reads, the JPEG it
// writes, and the bitmaps, paths and arguments it refuses.
#include "OutputTestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <functional>

#include <jpeglib.h>

using namespace zebrix;
using namespace zebrix::test;

namespace {

void Put(QByteArray& b, int at, std::uint32_t v, int size = 4)
{
    for (int i = 0; i < size; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
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
    std::function<std::uint32_t(int x, int y)> value; // a palette index, or the packed pixel
    std::function<Rgb(int x, int y)> colour;          // what the pixel should look like
};

QByteArray BuildBmp(const Layout& l, int width, int height)
{
    const bool core = l.infoSize == 12;
    const int entry = core ? 3 : 4;
    const int paletteAt = 14 + l.infoSize + ((l.compression == 3 && l.infoSize == 40) ? 12 : 0);
    const int pixelsAt = paletteAt + static_cast<int>(l.palette.size()) * entry;
    const int stride = (width * l.bits + 31) / 32 * 4;
    QByteArray b(pixelsAt + stride * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()));
    Put(b, 10, static_cast<std::uint32_t>(pixelsAt));
    Put(b, 14, static_cast<std::uint32_t>(l.infoSize));
    if (core) {
        for (const auto& [at, v] : {std::pair{18, width}, {20, height}, {22, 1}, {24, l.bits}})
            Put(b, at, static_cast<std::uint32_t>(v), 2);
    } else {
        Put(b, 18, static_cast<std::uint32_t>(width));
        Put(b, 22, static_cast<std::uint32_t>(l.topDown ? -height : height));
        Put(b, 26, 1, 2);
        Put(b, 28, static_cast<std::uint32_t>(l.bits), 2);
        Put(b, 30, l.compression);
        Put(b, 38, 3780);
        Put(b, 42, 3780);
        Put(b, 46, static_cast<std::uint32_t>(l.palette.size()));
        if (l.compression == 3)
            for (int i = 0; i < 3; ++i)
                Put(b, 54 + 4 * i, l.masks[static_cast<std::size_t>(i)]);
    }
    for (std::size_t i = 0; i < l.palette.size(); ++i)
        for (int c = 0; c < 3; ++c)
            b[paletteAt + static_cast<int>(i) * entry + c] = static_cast<char>(l.palette[i][static_cast<std::size_t>(2 - c)]);
    for (int y = 0; y < height; ++y) {
        const int row = pixelsAt + stride * (l.topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = l.value(x, y);
            if (l.bits < 8) {
                const int bit = x * l.bits;
                b[row + bit / 8] = static_cast<char>(static_cast<unsigned char>(b[row + bit / 8]) | (v << (8 - l.bits - bit % 8)));
            } else {
                Put(b, row + x * l.bits / 8, v, l.bits / 8);
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

// The largest difference of any channel of any pixel.
int Worst(const QImage& got, const std::function<Rgb(int, int)>& want)
{
    int worst = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QColor c = got.pixelColor(x, y);
            const Rgb w = want(x, y);
            worst = std::max({worst, std::abs(c.red() - w[0]), std::abs(c.green() - w[1]), std::abs(c.blue() - w[2])});
        }
    return worst;
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_NE(RealConverter(), nullptr);
    }
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

} // namespace

// Black and white becomes one grey channel; the ratio sets the quality.
TEST_F(ConverterTest, BlackAndWhiteBecomesGrayscaleAndRatioSetsTheQuality)
{
    SurfaceHost host;
    host.draw(Symbology::Code128, u"Zebrix");
    const QImage picture = host.currentImage().convertToFormat(QImage::Format_RGB888);
    // Quality (ratio + 100) / 2, seen in the first luminance quantiser.
    for (const auto& [ratio, quantiser] : std::vector<std::pair<int, int>>{{20, 13}, {50, 8}, {80, 3}, {100, 1}}) {
        SCOPED_TRACE(ratio);
        ASSERT_EQ(convert(QtBmp(picture), ratio), ZAREZU_OK);
        const JpegFacts facts = Inspect(output());
        EXPECT_EQ(facts.components, 1);
        EXPECT_EQ(facts.firstQuantiser, quantiser);
        EXPECT_EQ(facts.densityUnit, 1);
        EXPECT_EQ(facts.xDensity, 96); // Qt's 3780 dots per metre
    }
    // At 100 the picture comes back all but exactly.
    const QImage back = QImage(destination()).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_LE(Worst(back, [&](int x, int y) { const int g = qGray(picture.pixel(x, y)); return Rgb{g, g, g}; }), 8);
}

// Colour keeps every channel at full resolution: one-pixel stripes survive.
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
    const QImage back(destination());
    for (int x = 8; x < 56; ++x) {
        const QColor c = back.pixelColor(x, 8);
        EXPECT_GT(x % 2 ? c.red() - c.blue() : c.blue() - c.red(), 100) << x;
    }
}

// Every uncompressed layout and header version reads to the right colours.
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
            for (std::size_t i = 0; i < 3; ++i) {
                const int top = (1 << (i == 1 && greenBits ? greenBits : bits)) - 1;
                c[i] = c[i] * top / 255 * 255 / top;
            }
            return c;
        };
    };
    auto indexed = [&](int x, int y) { return static_cast<std::uint32_t>(block(x, y)); };
    const std::vector<Rgb> twoColours = {{255, 255, 255}, {0, 0, 0}};
    auto twoIndexed = [&](int x, int y) { return static_cast<std::uint32_t>(block(x, y) % 2); };
    auto twoColour = [&](int x, int y) { return twoColours[static_cast<std::size_t>(block(x, y) % 2)]; };
    const auto rgb24 = packed(16, 8, 0, 8);

    const std::vector<Layout> layouts = {
        {"1-bit", 1, 40, false, 0, {}, twoColours, twoIndexed, twoColour},
        {"4-bit", 4, 40, false, 0, {}, colours, indexed, byBlock},
        {"8-bit", 8, 40, false, 0, {}, colours, indexed, byBlock},
        {"8-bit top-down", 8, 40, true, 0, {}, colours, indexed, byBlock},
        {"8-bit core", 8, 12, false, 0, {}, colours, indexed, byBlock},
        {"16-bit 555", 16, 40, false, 0, {}, {}, packed(10, 5, 0, 5), approx(5)},
        {"16-bit 565", 16, 40, false, 3, {0xF800, 0x07E0, 0x001F}, {}, packed(11, 5, 0, 5, 6), approx(5, 6)},
        {"24-bit", 24, 40, false, 0, {}, {}, rgb24, byBlock},
        {"24-bit top-down", 24, 40, true, 0, {}, {}, rgb24, byBlock},
        {"24-bit core", 24, 12, false, 0, {}, {}, rgb24, byBlock},
        {"24-bit v5 header", 24, 124, false, 0, {}, {}, rgb24, byBlock},
        {"32-bit", 32, 40, false, 0, {}, {}, rgb24, byBlock},
        {"32-bit fields", 32, 40, false, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, {}, packed(0, 8, 16, 8), byBlock},
        {"32-bit v4 fields", 32, 108, false, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, {}, packed(24, 16, 8, 8), byBlock},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        ASSERT_EQ(convert(BuildBmp(l, 35, 24)), ZAREZU_OK); // odd width: rows need padding
        const QImage back(destination());
        ASSERT_EQ(back.size(), QSize(35, 24));
        EXPECT_LE(Worst(back, l.colour), 12);
    }
}

// A hostile header is refused and nothing is written; absurd resolutions are
// brought into the JPEG's range.
TEST_F(ConverterTest, RefusesHostileHeadersWithoutWritingAnything)
{
    const Layout base{"8-bit", 8, 40, false, 0, {}, {{0, 0, 0}, {255, 255, 255}}, [](int x, int) { return std::uint32_t(x % 2); }, {}};
    const QByteArray good = BuildBmp(base, 16, 4);
    ASSERT_EQ(convert(good), ZAREZU_OK);
    const struct {
        const char* name;
        int at, size;
        std::uint32_t value;
    } rows[] = {
        {"magic", 0, 2, 0x4142}, {"pixel offset past the end", 10, 4, 0xFFFFFFFF},
        {"pixel offset near the end", 10, 4, static_cast<std::uint32_t>(good.size() - 8)},
        {"header size 0", 14, 4, 0}, {"header size 13", 14, 4, 13}, {"header size 64", 14, 4, 64},
        {"header size past the end", 14, 4, 0x7FFFFFFF}, {"width 0", 18, 4, 0},
        {"negative width", 18, 4, static_cast<std::uint32_t>(-16)}, {"width too wide", 18, 4, 70000},
        {"height 0", 22, 4, 0}, {"smallest height", 22, 4, 0x80000000}, {"huge area, little data", 18, 4, 65000},
        {"bits 0", 28, 2, 0}, {"bits 2", 28, 2, 2}, {"bits 7", 28, 2, 7}, {"bits 64", 28, 2, 64},
        {"RLE8", 30, 4, 1}, {"RLE4", 30, 4, 2}, {"bit fields on 8 bits", 30, 4, 3}, {"embedded JPEG", 30, 4, 4},
        {"embedded PNG", 30, 4, 5}, {"unknown compression", 30, 4, 0xFFFFFFFF},
        {"colour count past 256", 46, 4, 0xFFFFFFFF}, // counts as 256 entries, which the file does not hold
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray bad = good;
        Put(bad, row.at, row.value, row.size);
        EXPECT_EQ(convert(bad), ZAREZU_NOT_A_BMP);
        EXPECT_FALSE(QFile::exists(destination()));
    }
    QByteArray dense = good;
    Put(dense, 38, 0x7FFFFFFF);
    Put(dense, 42, 0x7FFFFFFF);
    ASSERT_EQ(convert(dense), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).xDensity, 65535);
}

// Each bad path or argument has its result and writes nothing; a good call
// replaces the file, leaves the source, brings the ratio into 1 to 100, and
// without the optimising flag makes the same pixels in a file no smaller.
TEST_F(ConverterTest, PathsAndArguments)
{
    SurfaceHost host(40);
    const QByteArray bmp = QtBmp(host.currentImage().convertToFormat(QImage::Format_RGB888));
    ASSERT_TRUE(WriteAll(source(), bmp));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.bmp")).constData(), 0600), 0);
    const QByteArray in = QFile::encodeName(source()), out = QFile::encodeName(destination());
    const auto path = [&](const char* name) { return QFile::encodeName(dir.filePath(name)); };
    const struct {
        const char* name;
        QByteArray from, to;
        bool nullFrom, nullTo;
        int result;
    } rows[] = {
        {"no source", {}, out, true, false, ZAREZU_BAD_ARGUMENT},
        {"no destination", in, {}, false, true, ZAREZU_BAD_ARGUMENT},
        {"empty source", "", out, false, false, ZAREZU_BAD_ARGUMENT},
        {"missing source", path("none.bmp"), out, false, false, ZAREZU_CANNOT_READ},
        {"folder as source", QFile::encodeName(dir.path()), out, false, false, ZAREZU_CANNOT_READ},
        {"pipe as source, and no wait for a writer", path("pipe.bmp"), out, false, false, ZAREZU_CANNOT_READ},
        {"missing folder", in, path("no/out.jpg"), false, false, ZAREZU_CANNOT_WRITE},
        {"folder as destination", in, QFile::encodeName(dir.path()), false, false, ZAREZU_CANNOT_WRITE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RealConverter()(row.nullFrom ? nullptr : row.from.constData(), row.nullTo ? nullptr : row.to.constData(), 80, 1),
                  row.result);
        EXPECT_FALSE(QFile::exists(destination()));
    }
    const auto convertTo = [&](int ratio, int flags) { return RealConverter()(in.constData(), out.constData(), ratio, flags); };
    ASSERT_TRUE(WriteAll(destination(), QByteArray(100000, 'x')));
    EXPECT_EQ(convertTo(80, 1), ZAREZU_OK);
    const QByteArray optimised = output();
    EXPECT_TRUE(optimised.startsWith("\xFF\xD8\xFF"));
    EXPECT_LT(optimised.size(), 100000);
    EXPECT_EQ(ReadAll(source()), bmp);
    EXPECT_EQ(convertTo(80, 0), ZAREZU_OK);
    EXPECT_GE(output().size(), optimised.size());
    EXPECT_EQ(QImage::fromData(output()), QImage::fromData(optimised));
    EXPECT_EQ(convertTo(0, 1), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).firstQuantiser, 16); // as ratio 1: quality 50
    EXPECT_EQ(convertTo(1000, 1), ZAREZU_OK);
    EXPECT_EQ(Inspect(output()).firstQuantiser, 1);
}
