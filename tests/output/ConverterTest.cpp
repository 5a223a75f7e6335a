// The converter library on its own: the bitmaps it reads, the JPEG it
// writes, and the bitmaps, paths and arguments it refuses.
#include "OutputTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>

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

// A bitmap laid out by hand: a palette of the colours up to 8 bits (2 on 1 bit), else pixels packed by the masks.
struct Layout {
    const char* name;
    int bits, infoSize = 40;
    bool topDown = false;
    std::uint32_t compression = 0; // 3: the masks are written
    std::array<std::uint32_t, 3> masks{0xFF0000, 0xFF00, 0xFF};
};

std::uint32_t Channel(std::uint32_t mask, int value) // a channel's value under its mask
{
    return static_cast<std::uint32_t>(value) * (mask >> std::countr_zero(mask)) / 255 << std::countr_zero(mask);
}

QByteArray BuildBmp(const Layout& l, int width, int height)
{
    const bool core = l.infoSize == 12;
    const int colours = l.bits <= 8 ? std::min(4, 1 << l.bits) : 0, field = core ? 2 : 4, info = core ? 0 : 4;
    const int masks = l.compression == 3 ? 4 : 0, paletteAt = 14 + l.infoSize + (masks && l.infoSize == 40 ? 12 : 0);
    const int pixelsAt = paletteAt + colours * (core ? 3 : 4), stride = (width * l.bits + 31) / 32 * 4;
    QByteArray b(pixelsAt + stride * height, '\0');
    for (const auto& [at, value, size] : std::initializer_list<std::tuple<int, std::uint32_t, int>>{
             {0, 'B' | 'M' << 8, 2}, {2, b.size(), 4}, {10, pixelsAt, 4}, {14, l.infoSize, 4}, {18, width, field},
             {18 + field, l.topDown ? -height : height, field}, {18 + 2 * field, 1, 2}, {20 + 2 * field, l.bits, 2},
             {30, l.compression, info}, {38, 3780, info}, {42, 3780, info}, {46, colours, info},
             {54, l.masks[0], masks}, {58, l.masks[1], masks}, {62, l.masks[2], masks}})
        Put(b, at, value, size);
    for (int i = 0; i < colours; ++i)
        Put(b, paletteAt + i * (core ? 3 : 4), kColours[i] & 0xFFFFFF, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int row = pixelsAt + stride * (l.topDown ? y : height - 1 - y), bit = x * l.bits;
            const QRgb c = kColours[Block(x, y)];
            const std::uint32_t v = colours
                ? static_cast<std::uint32_t>(Block(x, y) % colours)
                : Channel(l.masks[0], qRed(c)) | Channel(l.masks[1], qGreen(c)) | Channel(l.masks[2], qBlue(c));
            if (l.bits < 8)
                b[row + bit / 8] = static_cast<char>(b[row + bit / 8] | v << (8 - l.bits - bit % 8));
            else
                Put(b, row + bit / 8, v, l.bits / 8);
        }
    return b;
}

// A JPEG's header: "components sampling(17: full resolution) q first-quantiser(the quality) unit:x-density".
std::string Facts(const QByteArray& jpeg)
{
    const auto at = [&](const char* marker, int i) { return std::uint8_t(jpeg.at(jpeg.indexOf(marker) + i)); };
    return std::to_string(at("\xFF\xC0", 9)) + " " + std::to_string(at("\xFF\xC0", 11)) + " q"
        + std::to_string(at("\xFF\xDB", 5)) + " " + std::to_string(at("JFIF", 7)) + ":"
        + std::to_string(at("JFIF", 8) << 8 | at("JFIF", 9));
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && RealConverter()); }
    int convert(const QByteArray& bmp, int ratio = 100, int flags = 1)
    {
        QFile::remove(out);
        return WriteAll(in, bmp) ? RealConverter()(from.constData(), to.constData(), ratio, flags) : -100;
    }

    QTemporaryDir dir;
    const QString in = dir.filePath("in.bmp"), out = dir.filePath("out.jpg");
    const QByteArray from = QFile::encodeName(in), to = QFile::encodeName(out);
};

} // namespace

// Every uncompressed layout and header version reads to the right colours (no resolution in a core header);
// black and white gives one grey channel, colour full-resolution channels; the ratio (1 to 100) sets the quality.
TEST_F(ConverterTest, ReadsEveryUncompressedLayoutAndRatioSetsTheQuality)
{
    const Layout layouts[] = {{"1-bit", 1}, {"4-bit", 4}, {"8-bit", 8}, {"8-bit top-down", 8, 40, true},
        {"8-bit core", 8, 12}, {"16-bit 555", 16, 40, false, 0, {0x7C00, 0x03E0, 0x001F}},
        {"16-bit 565", 16, 40, false, 3, {0xF800, 0x07E0, 0x001F}}, {"24-bit", 24}, {"24-bit top-down", 24, 40, true},
        {"24-bit core", 24, 12}, {"24-bit v5 header", 24, 124}, {"32-bit", 32},
        {"32-bit fields", 32, 40, false, 3, {0xFF, 0xFF00, 0xFF0000}},
        {"32-bit v4 fields", 32, 108, false, 3, {0xFF000000, 0xFF0000, 0xFF00}}};
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        ASSERT_EQ(convert(BuildBmp(l, 35, 24)), ZAREZU_OK); // odd width: rows need padding
        EXPECT_EQ(Facts(ReadAll(out)),
            (l.bits == 1 ? "1 17 q1 " : "3 17 q1 ") + std::string(l.infoSize == 12 ? "0:1" : "1:96"));
        const QImage back(out);
        ASSERT_EQ(back.size(), QSize(35, 24));
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 35; ++x) { // 5-bit masks round up to 8 off
                const QColor a = back.pixel(x, y), b = kColours[Block(x, y) % (l.bits == 1 ? 2 : 4)];
                ASSERT_LE(
                    std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()), 24)
                    << x << "," << y;
            }
    }
    for (const auto& [ratio, quantiser] : {std::pair{0, "16"}, {20, "13"}, {50, "8"}, {90, "2"}, {1000, "1"}}) {
        ASSERT_EQ(convert(BuildBmp({"", 1}, 16, 16), ratio), ZAREZU_OK);
        EXPECT_EQ(Facts(ReadAll(out)), "1 17 q" + std::string(quantiser) + " 1:96") << ratio;
    }
}

// Hostile headers are refused with nothing written; absurd resolutions are clamped.
TEST_F(ConverterTest, RefusesHostileHeadersWithoutWritingAnything)
{
    const QByteArray good = BuildBmp({"8-bit", 8}, 16, 4);
    ASSERT_EQ(convert(good), ZAREZU_OK);
    const std::tuple<const char*, int, int, std::uint32_t> rows[] = {{"magic", 0, 2, 0x4142},
        {"offset past the end", 10, 4, 0xFFFFFFFF}, {"offset near the end", 10, 4, good.size() - 8},
        {"header size 13", 14, 4, 13}, {"header size 64", 14, 4, 64}, {"header past the end", 14, 4, 0x7FFFFFFF},
        {"width 0", 18, 4, 0}, {"negative width", 18, 4, -16}, {"width too wide", 18, 4, 70000}, {"height 0", 22, 4, 0},
        {"smallest height", 22, 4, 0x80000000}, {"huge area, no data", 18, 4, 65000}, {"bits 2", 28, 2, 2},
        {"bits 64", 28, 2, 64}, {"RLE8", 30, 4, 1}, {"masks on 8 bits", 30, 4, 3}, {"embedded JPEG", 30, 4, 4},
        {"unknown compression", 30, 4, 0xFFFFFFFF}, {"colours past 256, read as 256", 46, 4, 0xFFFFFFFF}};
    for (const auto& [name, at, size, value] : rows) {
        QByteArray bad = good;
        Put(bad, at, value, size);
        EXPECT_EQ(convert(bad), ZAREZU_NOT_A_BMP) << name;
        EXPECT_FALSE(QFile::exists(out)) << name;
    }
    QByteArray dense = good;
    Put(dense, 38, 0x7FFFFFFF);
    Put(dense, 42, 0x7FFFFFFF);
    ASSERT_EQ(convert(dense), ZAREZU_OK);
    EXPECT_EQ(Facts(ReadAll(out)), "1 17 q1 1:65535");
}

// Bad paths, arguments and a full disk (on_small_disks.sh) are refused; optimised coding: the same picture smaller.
TEST_F(ConverterTest, PathsAndArguments)
{
    ASSERT_EQ(convert(BuildBmp({"24-bit", 24}, 40, 16), 80, 0), ZAREZU_OK);
    const QByteArray plain = ReadAll(out), none = QFile::encodeName(dir.filePath("none.bmp")),
                     folder = QFile::encodeName(dir.path()), pipe = QFile::encodeName(dir.filePath("pipe.bmp")),
                     lost = QFile::encodeName(dir.filePath("no/out.jpg")),
                     locked = QFile::encodeName(dir.filePath("locked.jpg")), disk = qgetenv("ZEBRIX_TEST_FULL_DISK"),
                     full = disk.isEmpty() ? lost : disk + "/old.bmp"; // "precious", whatever its name
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    ASSERT_TRUE(WriteAll(locked, "locked") && QFile::setPermissions(locked, QFile::ReadOwner));
    const std::tuple<const char*, const char*, const char*, int> rows[] = {
        {"no source", nullptr, to, ZAREZU_BAD_ARGUMENT}, {"no destination", from, nullptr, ZAREZU_BAD_ARGUMENT},
        {"empty source", "", to, ZAREZU_BAD_ARGUMENT}, {"empty destination", from, "", ZAREZU_BAD_ARGUMENT},
        {"missing source", none, to, ZAREZU_CANNOT_READ}, {"folder as source", folder, to, ZAREZU_CANNOT_READ},
        {"pipe as source, not waited on", pipe, to, ZAREZU_CANNOT_READ},
        {"missing folder", from, lost, ZAREZU_CANNOT_WRITE},
        {"folder as destination", from, folder, ZAREZU_CANNOT_WRITE}, {"full disk", from, full, ZAREZU_CANNOT_WRITE},
        {"write-protected destination, but to root", from, locked, ::geteuid() ? ZAREZU_CANNOT_WRITE : ZAREZU_OK}};
    QFile::remove(out);
    for (const auto& [name, source, destination, result] : rows) {
        EXPECT_EQ(RealConverter()(source, destination, 80, 1), result) << name;
        EXPECT_FALSE(QFile::exists(out)) << name;
    }
    EXPECT_EQ(ReadAll(locked) == "locked", ::geteuid() != 0);
    EXPECT_EQ(ReadAll(full), disk.isEmpty() ? "" : "precious");
    EXPECT_EQ(RealConverter()(from, to, 80, 1), ZAREZU_OK);
    EXPECT_LT(ReadAll(out).size(), plain.size());
    EXPECT_EQ(QImage(out), QImage::fromData(plain));
}
