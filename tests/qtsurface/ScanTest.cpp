// What we draw scans back: every symbology and option combination through
// ZXing-C++ and zbar, at one pixel per narrow bar. The combinations a reader
// cannot be expected to read are listed where they are skipped.
#include "barcode/Symbologies.h"
#include "cli/Render.h"
#include "support/RecordingSurface.h"
#include "support/Decoders.h"

#include <QString>
#include <gtest/gtest.h>

using namespace zebrix;
using test::DecodeWithZbar;
using test::DecodeWithZXing;

namespace {

QImage Render(Symbology type, const std::u16string& text, Options options)
{
    cli::RenderRequest request;
    request.typeCode = type;
    request.text = text;
    request.options = options;
    auto result = cli::RenderBarcode(request);
    EXPECT_FALSE(result.image.isNull()) << result.message.toStdString();
    return result.image;
}

std::string Utf8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

std::vector<std::string> One(const std::string& s) { return {s}; }

// zbar returns Codabar with its start and stop characters.
std::vector<std::string> WithoutStartStop(std::vector<std::string> texts)
{
    for (auto& t : texts)
        if (t.size() >= 2)
            t = t.substr(1, t.size() - 2);
    return texts;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

const int kOn[] = {0, 1};

} // namespace

TEST(Scan, Code39EveryOptionWithBothReaders)
{
    const std::vector<std::pair<std::u16string, std::string>> samples = {
        {u"A", "A"}, {u"code39", "CODE39"}, {u"HELLO WORLD", "HELLO WORLD"}, {u"1234567890", "1234567890"},
        {u"-. $/+%", "-. $/+%"}};
    const std::vector<std::string> checks = {"A", "W", ".", "2", "F"};
    for (int P : kOn)
        for (int L : kOn)
            for (int C : kOn)
                for (std::size_t i = 0; i < samples.size(); ++i) {
                    const auto& [text, read] = samples[i];
                    const std::string expected = read + (C ? checks[i] : "");
                    const QImage image = Render(Symbology::Code39, text, Options{P, L, C});
                    EXPECT_EQ(DecodeWithZbar(image), One(expected)) << expected << " P" << P;
                    // Wider spaces give the symbols - . $ / + % a space ratio ZXing refuses.
                    if (P == 0 || i != 4) {
                        EXPECT_EQ(DecodeWithZXing(image), One(expected)) << expected << " P" << P;
                    }
                }
}

TEST(Scan, Interleaved2of5EveryOptionWithBothReaders)
{
    for (int P : kOn)
        for (int L : kOn)
            for (int C : kOn)
                for (std::u16string text : {u"1", u"12", u"1234", u"123456", u"9876543210", u"00000000000"}) {
                    // The drawn digits: leading zero and check digit included.
                    test::RecordingSurface probe;
                    GenerateBarcode(probe, Symbology::Interleaved2of5, text, Options{P, 1, C});
                    const std::u16string drawn = probe.texts().at(0);
                    const QImage image = Render(Symbology::Interleaved2of5, text, Options{P, L, C});
                    EXPECT_EQ(DecodeWithZbar(image), One(Utf8(drawn))) << Utf8(drawn) << " P" << P;
                    // ZXing reads Interleaved 2 of 5 from six digits on.
                    if (drawn.size() >= 6) {
                        EXPECT_EQ(DecodeWithZXing(image), One(Utf8(drawn))) << Utf8(drawn) << " P" << P;
                    }
                }
}

TEST(Scan, Code128WithoutWiderSpacesWithBothReaders)
{
    std::u16string all;
    for (char16_t c = u' '; c <= u'~'; ++c)
        all.push_back(c);
    for (int L : kOn)
        for (const std::u16string& text : std::vector<std::u16string>{u"A", u"Hello, World!", u" ", u"abc", u"123456", u"~{|}", all}) {
            const QImage image = Render(Symbology::Code128, text, Options{0, L, 0});
            EXPECT_EQ(DecodeWithZXing(image), One(Utf8(text))) << Utf8(text);
            // zbar misses some symbols at one pixel per module (a single "|",
            // "~{|}"), Zint's images of the same text included; ZXing reads them.
            if (text != u"~{|}" && text != all) {
                EXPECT_EQ(DecodeWithZbar(image), One(Utf8(text))) << Utf8(text);
            }
        }
}

// One extra column in every space breaks Code 128's fixed module widths: no
// reader is expected to read it, and neither does.
TEST(Scan, Code128WithWiderSpacesIsNotReadable)
{
    const QImage image = Render(Symbology::Code128, u"Hello", Options{1, 1, 0});
    EXPECT_TRUE(DecodeWithZXing(image).empty());
    EXPECT_TRUE(DecodeWithZbar(image).empty());
}

TEST(Scan, CodabarEveryOptionWithBothReaders)
{
    for (int P : kOn)
        for (int L : kOn)
            for (std::u16string text : {u"1", u"12", u"123-45", u"-$:/.+", u"0123456789"}) {
                const QImage image = Render(Symbology::Codabar, text, Options{P, L, 0});
                EXPECT_EQ(WithoutStartStop(DecodeWithZbar(image)), One(Utf8(text))) << Utf8(text);
                // ZXing wants more than one data character.
                if (text.size() >= 2) {
                    EXPECT_EQ(DecodeWithZXing(image), One(Utf8(text))) << Utf8(text);
                }
            }
}

// Typed letters a-d are start/stop characters to a reader: "a12a" ends the
// symbol early and neither reader returns the text. Documented, not hidden.
TEST(Scan, CodabarWithInnerStartStopLettersIsNotReadBack)
{
    const QImage image = Render(Symbology::Codabar, u"a12a", Options{0, 1, 0});
    for (const auto& t : DecodeWithZXing(image))
        EXPECT_NE(Upper(t), "A12A");
    for (const auto& t : WithoutStartStop(DecodeWithZbar(image)))
        EXPECT_NE(Upper(t), "A12A");
}
