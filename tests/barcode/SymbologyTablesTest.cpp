// Every entry of every symbology table, proved against the published tables: whole character sets read
// back by ZXing-C++, and Codabar's start and stop letters against module strings. And the painted pixels,
// labels included, held by checksums taken before the drawing was reworked (every kerned pair's, after it).
#include "barcode/Paint.h"
#include "verify/Readers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace zebrix;

namespace {

struct Gray {
    int w, h;
    std::vector<std::uint8_t> pixels;
    int width() const { return w; }
    int height() const { return h; }
    void setBlack(int x, int y) { pixels[static_cast<std::size_t>(y * w + x)] = 0; }
};

// FNV-1a of the size and the pixels (black is 1).
std::string Checksum(const Gray& r)
{
    unsigned long long h = 1469598103934665603ull;
    auto mix = [&](unsigned char b) { h = (h ^ b) * 1099511628211ull; };
    for (int i = 0; i < 8; ++i)
        mix(static_cast<unsigned char>((i < 4 ? r.w : r.h) >> (8 * (i % 4))));
    for (unsigned char p : r.pixels)
        mix(p == 0);
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", h);
    return out;
}

// The barcode with a quiet zone on both sides, as ZXing-C++ reads it.
std::vector<std::string> Read(Symbology s, const std::u16string& text, const Options& o)
{
    const Drawing d = Encode(s, text, o);
    EXPECT_EQ(d.kind, Drawing::Kind::Bars);
    Gray one{static_cast<int>(d.end) + 20, 67, {}};
    one.pixels.assign(static_cast<std::size_t>(one.w) * 67, 255);
    PaintBars(d, one);
    Gray two{2 * one.w, 67, std::vector<std::uint8_t>(static_cast<std::size_t>(2 * one.w) * 67)};
    for (int y = 0; y < 67; ++y)
        for (int x = 0; x < two.w; ++x)
            two.pixels[static_cast<std::size_t>(y * two.w + x)]
                = one.pixels[static_cast<std::size_t>(y * one.w + x / 2)];
    return ReadBarcodes(Reader::ZXing, {two.pixels.data(), two.w, two.h, two.w}, s, o.addCheck == 1);
}

std::string Utf8(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Modules of a drawing without wider spaces: '1' for a bar column, '0' for a space.
std::string Modules(const Drawing& d)
{
    std::string m(static_cast<std::size_t>(d.end - kFirstBarX), '0');
    for (auto x : d.columns)
        m[static_cast<std::size_t>(x - kFirstBarX)] = '1';
    return m;
}

} // namespace

TEST(SymbologyTables, Code39WholeSetReadsBack)
{
    const std::u16string all = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
    EXPECT_EQ(Read(Symbology::Code39, all, Options{0, 0, 0}), std::vector<std::string>{Utf8(all)});
    // Check characters: every value 0 to 42 once.
    for (char16_t c : all)
        EXPECT_EQ(Read(Symbology::Code39, std::u16string(1, c), Options{0, 0, 1}), std::vector<std::string>{Utf8({c})});
}

TEST(SymbologyTables, Interleaved2of5EveryDigitInBothPlaces)
{
    for (const std::u16string text : {u"0123456789", u"1032547698"})
        EXPECT_EQ(Read(Symbology::Interleaved2of5, text, Options{0, 0, 0}), std::vector<std::string>{Utf8(text)});
}

TEST(SymbologyTables, Code128EveryCharacterAndEveryCheckValue)
{
    std::u16string all;
    for (char16_t c = u' '; c <= u'~'; ++c)
        all.push_back(c);
    EXPECT_EQ(Read(Symbology::Code128, all, Options{0, 0, 0}), std::vector<std::string>{Utf8(all)});
    // "c" has the check value c - 31, "~c" (94 + 2 (c - 32) + 104) mod 103:
    // together every value from 0 to 102.
    for (char16_t c = u' '; c <= u'~'; ++c)
        for (const std::u16string& text : {std::u16string(1, c), std::u16string{u'~', c}})
            EXPECT_EQ(Read(Symbology::Code128, text, Options{0, 0, 0}), std::vector<std::string>{Utf8(text)});
}

// The start and stop letters, which a reader does not take inside a text, against the published table
// (bar space bar space bar space bar, n narrow, w wide); the others read back.
TEST(SymbologyTables, CodabarModules)
{
    auto modules = [](const char* elements) {
        std::string m;
        for (int i = 0; elements[i]; ++i)
            m.append(elements[i] == 'w' ? 3 : 1, i % 2 == 0 ? '1' : '0');
        return m;
    };
    const std::string a = modules("nnwwnwn");
    for (const auto& [c, elements] :
        {std::pair{u'a', "nnwwnwn"}, {u'b', "nwnwnnw"}, {u'c', "nnnwnww"}, {u'd', "nnnwwwn"}})
        EXPECT_EQ(Modules(Encode(Symbology::Codabar, std::u16string(1, c), Options{0, 0, 0})),
            a + "0" + modules(elements) + "0" + a)
            << char(c);
    EXPECT_EQ(
        Read(Symbology::Codabar, u"0123456789-$:/.+", Options{0, 0, 0}), std::vector<std::string>{"0123456789-$:/.+"});
}

// Each symbology and option on its full character set, at the window's width and the command line's; cut texts.
TEST(GoldenDrawings, PixelsAreThoseOfEarlierReleases)
{
    std::ifstream in(ZEBRIX_GOLDEN_DRAWINGS);
    ASSERT_TRUE(in) << ZEBRIX_GOLDEN_DRAWINGS;
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        int type = 0, asked = 0, width = 0;
        std::string options, checksum;
        fields >> type >> options >> asked >> width >> checksum;
        std::string text;
        std::getline(fields, text);
        text.erase(0, 1);
        const Options o{options[0] - '0', options[1] - '0', options[2] - '0'};
        // Asked for no width (0), as far as a file can reach, in the width it needs.
        const Drawing d = Encode(
            static_cast<Symbology>(type), std::u16string(text.begin(), text.end()), o, asked == 0 ? 65536 : asked);
        Gray r{width, 67, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * 67, 255)};
        PaintBars(d, r);
        EXPECT_EQ(Checksum(r), checksum) << line;
        ++rows;
    }
    EXPECT_GT(rows, 30);
}
