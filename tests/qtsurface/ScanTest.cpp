// What the window draws scans back: each symbology under every option, through
// ZXing-C++ and zbar, at one pixel per narrow bar.
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zebrix;
using test::DecodeWithZbar;
using test::DecodeWithZXing;

namespace {

QImage Render(Symbology symbology, const std::u16string& text, Options options)
{
    const Drawing drawing = Encode(symbology, text, options);
    EXPECT_EQ(drawing.kind, Drawing::Kind::Bars);
    BarcodePicture picture(static_cast<int>(drawing.end) + 20); // the bars and a quiet zone
    picture.show(drawing);
    return picture.image();
}

std::string Utf8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

} // namespace

TEST(Scan, EverySymbologyUnderEveryOptionWithBothReaders)
{
    using enum Symbology;
    const struct {
        Symbology symbology;
        std::u16string text;
        std::string read;       // "" for the digits drawn (Interleaved 2 of 5 adds a leading zero)
        const char* check;      // what the check character box adds to the text read; null where not offered
        bool zxing, zxingWide;  // ZXing reads it (and with wider spaces)
        bool zbar;
    } rows[] = {
        {Code39, u"code39", "CODE39", "W", true, true, true},
        {Code39, u"-. $/+%", "-. $/+%", "F", true, false, true}, // wider spaces: a ratio ZXing refuses
        {Interleaved2of5, u"1", "", "", false, false, true},     // ZXing reads from six digits on
        {Interleaved2of5, u"123456", "", "", true, true, true},
        {Code128, u"Hello, World!", "Hello, World!", nullptr, true, false, true}, // wider spaces break its widths
        // zbar misses some symbols (a single "|") at one pixel a module, in Zint's images too
        {Code128, u" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~",
         " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~", nullptr,
         true, false, false},
        {Codabar, u"1", "1", nullptr, false, false, true}, // ZXing wants two data characters
        {Codabar, u"123-45", "123-45", nullptr, true, true, true},
        {Codabar, u"-$:/.+", "-$:/.+", nullptr, true, true, true},
    };
    for (const auto& row : rows)
        for (int P : {0, 1})
            for (int L : {0, 1})
                for (int C : {0, 1}) {
                    if (C && !row.check)
                        continue;
                    SCOPED_TRACE(testing::Message() << Utf8(row.text) << " symbology " << int(row.symbology) << " P" << P
                                                    << " L" << L << " C" << C);
                    const Options options{P, L, C};
                    const std::string read = row.read.empty() ? Utf8(Encode(row.symbology, row.text, options).label)
                                                        : row.read + (C ? row.check : "");
                    const QImage image = Render(row.symbology, row.text, options);
                    auto zbar = DecodeWithZbar(image);
                    if (row.symbology == Codabar)
                        for (auto& t : zbar) // zbar returns Codabar with its start and stop characters
                            t = t.substr(1, t.size() - 2);
                    if (P && row.symbology == Code128) { // one more column in every space: no reader reads it
                        EXPECT_TRUE(DecodeWithZXing(image).empty());
                        EXPECT_TRUE(zbar.empty());
                        continue;
                    }
                    if (row.zxing && (!P || row.zxingWide)) { EXPECT_EQ(DecodeWithZXing(image), std::vector{read}); }
                    if (row.zbar) { EXPECT_EQ(zbar, std::vector{read}); }
                }
    // Typed letters a-d are start and stop characters to a reader: "a12a" ends the symbol early.
    const QImage early = Render(Codabar, u"a12a", Options{0, 1, 0});
    auto texts = DecodeWithZXing(early);
    for (const auto& t : DecodeWithZbar(early))
        texts.push_back(t.size() >= 2 ? t.substr(1, t.size() - 2) : t);
    for (auto t : texts) {
        std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        EXPECT_NE(t, "A12A");
    }
}
