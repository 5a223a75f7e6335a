// The converter library on its own: the bitmaps it reads, the JPEG it
// writes, and the bitmaps, paths and arguments it refuses.
#include "OutputTestSupport.h"
#include "barcode/Drawing.h"
#include "qtsurface/BarcodePicture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <bit>

#include <jpeglib.h>

using namespace zebrix;
using namespace zebrix::test;

namespace {

void Put(QByteArray& b, int at, std::uint32_t v, int size = 4)
{
    for (int i = 0; i < size; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Four colour blocks, 8 by 8 each: easy on JPEG, telling on layout errors.
const QRgb kColours[] = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(200, 40, 40), qRgb(40, 40, 200)};
int Block(int x, int y) { return (x / 8) % 2 + 2 * ((y / 8) % 2); }

// A bitmap laid out by hand: with a palette of the colours up to 8 bits,
// else each pixel packed with the masks (the masks' widths keep what they can).
struct Layout {
    const char* name;
    int bits, infoSize = 40;
    bool topDown = false;
    std::uint32_t compression = 0; // 3: the masks are written
    std::array<std::uint32_t, 3> masks{};
};

std::uint32_t Channel(std::uint32_t mask, int value) // a channel's value under its mask
{
    return static_cast<std::uint32_t>(value) * (mask >> std::countr_zero(mask)) / 255 << std::countr_zero(mask);
}

QByteArray BuildBmp(const Layout& l, int width, int height)
{
    const bool core = l.infoSize == 12;
    const int colours = l.bits <= 8 ? std::min(4, 1 << l.bits) : 0;
    const int paletteAt = 14 + l.infoSize + ((l.compression == 3 && l.infoSize == 40) ? 12 : 0);
    const int pixelsAt = paletteAt + colours * (core ? 3 : 4);
    const int stride = (width * l.bits + 31) / 32 * 4;
    QByteArray b(pixelsAt + stride * height, '\0');
    Put(b, 0, 'B' | 'M' << 8, 2);
    Put(b, 2, static_cast<std::uint32_t>(b.size()));
    Put(b, 10, static_cast<std::uint32_t>(pixelsAt));
    Put(b, 14, static_cast<std::uint32_t>(l.infoSize));
    const int field = core ? 2 : 4;
    Put(b, 18, static_cast<std::uint32_t>(width), field);
    Put(b, 18 + field, static_cast<std::uint32_t>(l.topDown ? -height : height), field);
    Put(b, 18 + 2 * field, 1, 2);
    Put(b, 20 + 2 * field, static_cast<std::uint32_t>(l.bits), 2);
    if (!core) {
        Put(b, 30, l.compression);
        Put(b, 38, 3780);
        Put(b, 42, 3780);
        Put(b, 46, static_cast<std::uint32_t>(colours));
        for (int i = 0; i < 3 && l.compression == 3; ++i)
            Put(b, 54 + 4 * i, l.masks[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < colours; ++i)
        Put(b, paletteAt + i * (core ? 3 : 4), kColours[i] & 0xFFFFFF, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int row = pixelsAt + stride * (l.topDown ? y : height - 1 - y), bit = x * l.bits;
            const QRgb c = kColours[Block(x, y) % (colours ? colours : 4)];
            if (colours && l.bits < 8)
                b[row + bit / 8]
                    = static_cast<char>(b[row + bit / 8] | (Block(x, y) % colours) << (8 - l.bits - bit % 8));
            else
                Put(b, row + bit / 8,
                    colours
                        ? static_cast<std::uint32_t>(Block(x, y))
                        : Channel(l.masks[0], qRed(c)) | Channel(l.masks[1], qGreen(c)) | Channel(l.masks[2], qBlue(c)),
                    l.bits / 8);
        }
    return b;
}

// What a pixel of the layout should read back as.
QRgb Expected(const Layout& l, int x, int y)
{
    const QRgb c = kColours[Block(x, y) % (l.bits == 1 ? 2 : 4)];
    if (l.bits <= 8)
        return c;
    const auto back = [](std::uint32_t mask, int v) {
        const std::uint32_t top = mask >> std::countr_zero(mask);
        return static_cast<int>((Channel(mask, v) >> std::countr_zero(mask)) * 255 / top);
    };
    return qRgb(back(l.masks[0], qRed(c)), back(l.masks[1], qGreen(c)), back(l.masks[2], qBlue(c)));
}

int Distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// What the JPEG's header says: its components (and any subsampled), its
// first quantiser (from the quality), its density unit and horizontal density.
std::string Facts(const QByteArray& jpeg)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(
        &info, reinterpret_cast<const unsigned char*>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    std::string facts = std::to_string(info.num_components) + " components, quantiser "
        + std::to_string(info.quant_tbl_ptrs[0]->quantval[0]) + ", density " + std::to_string(info.density_unit) + ":"
        + std::to_string(info.X_density);
    for (int c = 0; c < info.num_components; ++c)
        facts += info.comp_info[c].h_samp_factor * info.comp_info[c].v_samp_factor == 1 ? "" : ", subsampled";
    jpeg_destroy_decompress(&info);
    return facts;
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && RealConverter()); }
    int convert(const QByteArray& bmp, int ratio = 100, int flags = 1)
    {
        QFile::remove(out);
        return WriteAll(in, bmp)
            ? RealConverter()(QFile::encodeName(in).constData(), QFile::encodeName(out).constData(), ratio, flags)
            : -100;
    }
    int convert(const QImage& image, int ratio) { return image.save(in, "BMP") ? convert(ReadAll(in), ratio) : -100; }

    QTemporaryDir dir;
    const QString in = dir.filePath("in.bmp"), out = dir.filePath("out.jpg");
};

} // namespace

// Black and white gives one grey channel, colour full-resolution channels; the ratio sets the quality.
TEST_F(ConverterTest, BlackAndWhiteBecomesGrayscaleAndRatioSetsTheQuality)
{
    BarcodePicture surface(BarcodePicture::kDefaultWidth);
    surface.show(Encode(Symbology::Code128, u"Zebrix", {0, 1, 0}, surface.width()));
    const QImage bars = surface.image().convertToFormat(QImage::Format_RGB888);
    QImage stripes(64, 16, QImage::Format_RGB888); // one-pixel colour stripes
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    const struct {
        const QImage& image;
        int ratio;
        std::string facts;
        int worst;
    } rows[] = {{bars, 20, "1 components, quantiser 13, density 1:96", 255},
        {bars, 50, "1 components, quantiser 8, density 1:96", 255},
        {bars, 80, "1 components, quantiser 3, density 1:96", 255},
        {bars, 100, "1 components, quantiser 1, density 1:96", 8},
        {stripes, 90, "3 components, quantiser 2, density 1:96", 100}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ratio);
        ASSERT_EQ(convert(row.image, row.ratio), ZAREZU_OK);
        EXPECT_EQ(Facts(ReadAll(out)), row.facts);
        const QImage back(out);
        for (int y = 0; y < back.height(); ++y)
            for (int x = 8; x < back.width() - 8; ++x)
                ASSERT_LE(Distance(back.pixel(x, y), row.image.pixel(x, y)), row.worst) << x << "," << y;
    }
}

// Every uncompressed layout and header version reads to the right colours.
TEST_F(ConverterTest, ReadsEveryUncompressedLayout)
{
    const std::array<std::uint32_t, 3> rgb555{0x7C00, 0x03E0, 0x001F}, rgb24{0xFF0000, 0xFF00, 0xFF};
    const Layout layouts[]
        = {{"1-bit", 1}, {"4-bit", 4}, {"8-bit", 8}, {"8-bit top-down", 8, 40, true}, {"8-bit core", 8, 12},
            {"16-bit 555", 16, 40, false, 0, rgb555}, {"16-bit 565", 16, 40, false, 3, {0xF800, 0x07E0, 0x001F}},
            {"24-bit", 24, 40, false, 0, rgb24}, {"24-bit top-down", 24, 40, true, 0, rgb24},
            {"24-bit core", 24, 12, false, 0, rgb24}, {"24-bit v5 header", 24, 124, false, 0, rgb24},
            {"32-bit", 32, 40, false, 0, rgb24}, {"32-bit fields", 32, 40, false, 3, {0xFF, 0xFF00, 0xFF0000}},
            {"32-bit v4 fields", 32, 108, false, 3, {0xFF000000, 0xFF0000, 0xFF00}}};
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        ASSERT_EQ(convert(BuildBmp(l, 35, 24)), ZAREZU_OK); // odd width: rows need padding
        const QImage back(out);
        ASSERT_EQ(back.size(), QSize(35, 24));
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 35; ++x)
                ASSERT_LE(Distance(back.pixel(x, y), Expected(l, x, y)), 12) << x << "," << y;
    }
}

// Hostile headers are refused with nothing written; absurd resolutions are clamped.
TEST_F(ConverterTest, RefusesHostileHeadersWithoutWritingAnything)
{
    const QByteArray good = BuildBmp({"8-bit", 8}, 16, 4);
    ASSERT_EQ(convert(good), ZAREZU_OK);
    const struct {
        const char* name;
        int at, size;
        std::uint32_t value;
    } rows[] = {
        {"magic", 0, 2, 0x4142}, {"pixel offset past the end", 10, 4, 0xFFFFFFFF},
        {"pixel offset near the end", 10, 4, static_cast<std::uint32_t>(good.size() - 8)}, {"header size 0", 14, 4, 0},
        {"header size 13", 14, 4, 13}, {"header size 64", 14, 4, 64}, {"header size past the end", 14, 4, 0x7FFFFFFF},
        {"width 0", 18, 4, 0}, {"negative width", 18, 4, static_cast<std::uint32_t>(-16)},
        {"width too wide", 18, 4, 70000}, {"height 0", 22, 4, 0}, {"smallest height", 22, 4, 0x80000000},
        {"huge area, little data", 18, 4, 65000}, {"bits 0", 28, 2, 0}, {"bits 2", 28, 2, 2}, {"bits 7", 28, 2, 7},
        {"bits 64", 28, 2, 64}, {"RLE8", 30, 4, 1}, {"RLE4", 30, 4, 2}, {"bit fields on 8 bits", 30, 4, 3},
        {"embedded JPEG", 30, 4, 4}, {"embedded PNG", 30, 4, 5}, {"unknown compression", 30, 4, 0xFFFFFFFF},
        {"colour count past 256", 46, 4, 0xFFFFFFFF}, // counts as 256 entries, which the file does not hold
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QByteArray bad = good;
        Put(bad, row.at, row.value, row.size);
        EXPECT_EQ(convert(bad), ZAREZU_NOT_A_BMP);
        EXPECT_FALSE(QFile::exists(out));
    }
    QByteArray dense = good;
    Put(dense, 38, 0x7FFFFFFF);
    Put(dense, 42, 0x7FFFFFFF);
    ASSERT_EQ(convert(dense), ZAREZU_OK);
    EXPECT_NE(Facts(ReadAll(out)).find("density 1:65535"), std::string::npos);
}

// Bad paths and arguments are refused; the optimising flag and the ratio's range.
TEST_F(ConverterTest, PathsAndArguments)
{
    ASSERT_EQ(convert(BuildBmp({"24-bit", 24, 40, false, 0, {0xFF0000, 0xFF00, 0xFF}}, 40, 16)), ZAREZU_OK);
    const QByteArray from = QFile::encodeName(in), to = QFile::encodeName(out);
    const QByteArray none = QFile::encodeName(dir.filePath("none.bmp")), folder = QFile::encodeName(dir.path()),
                     pipe = QFile::encodeName(dir.filePath("pipe.bmp")),
                     lost = QFile::encodeName(dir.filePath("no/out.jpg"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    const struct {
        const char* name;
        const char *source, *destination;
        int result;
    } rows[] = {{"no source", nullptr, to, ZAREZU_BAD_ARGUMENT}, {"no destination", from, nullptr, ZAREZU_BAD_ARGUMENT},
        {"empty source", "", to, ZAREZU_BAD_ARGUMENT}, {"missing source", none, to, ZAREZU_CANNOT_READ},
        {"folder as source", folder, to, ZAREZU_CANNOT_READ},
        {"pipe as source, not waited on", pipe, to, ZAREZU_CANNOT_READ},
        {"missing folder", from, lost, ZAREZU_CANNOT_WRITE},
        {"folder as destination", from, folder, ZAREZU_CANNOT_WRITE}};
    QFile::remove(out);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RealConverter()(row.source, row.destination, 80, 1), row.result);
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_EQ(RealConverter()(from, to, 80, 1), ZAREZU_OK);
    const QByteArray optimised = ReadAll(out);
    EXPECT_EQ(RealConverter()(from, to, 80, 0), ZAREZU_OK);
    EXPECT_GE(ReadAll(out).size(), optimised.size());
    EXPECT_EQ(QImage(out), QImage::fromData(optimised));
    for (const auto& [ratio, quantiser] : {std::pair{0, 16}, {1000, 1}}) { // as ratio 1 (quality 50), as 100
        EXPECT_EQ(RealConverter()(from, to, ratio, 1), ZAREZU_OK);
        EXPECT_EQ(Facts(ReadAll(out)), "3 components, quantiser " + std::to_string(quantiser) + ", density 1:96")
            << ratio;
    }
}
