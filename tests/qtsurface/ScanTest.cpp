// What the window draws scans back: each symbology under every option, through
// ZXing-C++ and zbar, at one pixel per narrow bar.
#include "qtsurface/BarcodePicture.h"
#include "support/Decoders.h"

#include <QString>
#include <gtest/gtest.h>

using namespace zebrix;
using test::DecodeWithZbar;
using test::DecodeWithZXing;

TEST(Scan, EverySymbologyUnderEveryOptionWithBothReaders)
{
    using enum Symbology;
    const auto utf8 = [](const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); };
    const struct {
        Symbology symbology;
        std::u16string text;
        std::string read;      // "" for the digits drawn (Interleaved 2 of 5 adds a leading zero)
        const char* check;     // what the check character box adds to the text read; null where not offered
        bool zxing, zbar;      // which readers read it
    } rows[] = {
        {Code39, u"code39", "CODE39", "W", true, true},
        {Interleaved2of5, u"1", "", "", false, true}, // ZXing reads from six digits on
        {Interleaved2of5, u"123456", "", "", true, true},
        {Code128, u"Hello, World!", "Hello, World!", nullptr, true, true},
        {Codabar, u"123-45", "123-45", nullptr, true, true},
    };
    for (const auto& row : rows)
        for (const Options options : {Options{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 1}, {1, 1, 1}}) {
            if (options.addCheck && !row.check)
                continue;
            SCOPED_TRACE(testing::Message() << utf8(row.text) << " options " << options.widenSpaces << options.addLabel
                                            << options.addCheck);
            const Drawing drawing = Encode(row.symbology, row.text, options);
            BarcodePicture picture(static_cast<int>(drawing.end) + 20); // the bars and a quiet zone
            picture.show(drawing);
            const std::string read = row.read.empty() ? utf8(drawing.label) : row.read + (options.addCheck ? row.check : "");
            auto zbar = DecodeWithZbar(picture.image());
            for (auto& t : zbar) // zbar reads Codabar with its start and stop characters
                t = row.symbology == Codabar ? t.substr(1, t.size() - 2) : t;
            const bool unreadable = options.widenSpaces && row.symbology == Code128; // one more column in every space
            if (row.zxing) {
                EXPECT_EQ(DecodeWithZXing(picture.image()), unreadable ? std::vector<std::string>{} : std::vector{read});
            }
            if (row.zbar) {
                EXPECT_EQ(zbar, unreadable ? std::vector<std::string>{} : std::vector{read});
            }
        }
}
