// Every symbology and option on each symbology's full character set, on the
// window's 481-pixel picture and at the command line's own width (narrow
// pictures and the other texts with no option and all options): the pixels
// of bars and labels are held by checksums of pictures made before the
// drawing was reworked.
#include "barcode/Paint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace zebrix;

namespace {

struct Raster {
    int w, h;
    std::vector<unsigned char> pixels;
    int width() const { return w; }
    int height() const { return h; }
    void setBlack(int x, int y) { pixels[static_cast<std::size_t>(y * w + x)] = 1; }
};

std::string Checksum(const Raster& r)
{
    unsigned long long h = 1469598103934665603ull;
    auto mix = [&](unsigned char b) { h ^= b, h *= 1099511628211ull; };
    for (int v : {r.w, r.h})
        for (int i = 0; i < 4; ++i)
            mix(static_cast<unsigned char>(v >> (8 * i)));
    for (unsigned char p : r.pixels)
        mix(p);
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", h);
    return out;
}

} // namespace

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
        // Asked for no width, the command line lays out as far as a file can
        // reach and takes the width the drawing needs.
        const Drawing d = Encode(static_cast<Symbology>(type), std::u16string(text.begin(), text.end()), o,
                                 asked == 0 ? 65536 : asked);
        Raster r{width, 67, std::vector<unsigned char>(static_cast<std::size_t>(width) * 67)};
        PaintBars(d, r);
        EXPECT_EQ(Checksum(r), checksum) << line;
        ++rows;
    }
    EXPECT_GT(rows, 70);
}
