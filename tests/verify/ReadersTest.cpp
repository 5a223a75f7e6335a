// The readers on pictures the painter draws, and on pictures that are not.
#include "verify/Readers.h"
#include "barcode/Paint.h"
#include "barcode/Utf.h"

#include <gtest/gtest.h>

#include <optional>

using namespace zebrix;
using Strings = std::vector<std::string>;

namespace {

// A white picture twice the barcode's height with the barcode in its lower
// half, each row followed by as many black bytes: a reader that takes the
// rows as packed sees only the upper half, and nothing to read.
struct Grey {
    int w, h;
    std::vector<std::uint8_t> pixels;
    int width() const { return w; }
    int height() const { return h / 2; }
    void setBlack(int x, int y) { pixels[static_cast<std::size_t>((y + h / 2) * 2 * w + x)] = 0; }
    GreyPicture picture() const { return {pixels.data(), w, h, 2 * w}; }
};

// The drawings at one pixel per narrow unit, one over the other, on a picture `width` wide (by default the first
// one's, with a quiet zone after it).
Grey Painted(std::initializer_list<Drawing> drawings, std::int64_t width = 0)
{
    Grey grey{static_cast<int>(width ? width : drawings.begin()->end + 20), 2 * 67, {}};
    grey.pixels.assign(static_cast<std::size_t>(2 * grey.w * grey.h), 255);
    for (int y = 0; y < grey.h; ++y)
        std::fill_n(grey.pixels.begin() + (2 * y + 1) * grey.w, grey.w, 0);
    for (const Drawing& d : drawings)
        PaintBars(d, grey);
    return grey;
}

} // namespace

TEST(Readers, ReadWhatIsDrawnAsTold)
{
    using enum Symbology;
    const struct {
        Symbology drawn;
        std::u16string text;
        int addCheck;
        std::optional<Symbology> lookedFor; // none: any of the four
        bool dropCheck;
        Strings zxing, zbar;
    } rows[] = {{Code39, u"CODE39", 1, Code39, true, {"CODE39"}, {"CODE39"}},
        {Code39, u"CODE39X", 0, Code39, true, {}, {"CODE39X"}}, // a wrong check character
        {Code39, u"CODE39", 0, Code128, false, {}, {}},
        {Code128, u"Hello, World!", 0, std::nullopt, false, {"Hello, World!"}, {"Hello, World!"}},
        {Interleaved2of5, u"123456", 1, Interleaved2of5, false, {"01234565"}, {"01234565"}}, // a leading zero
        {Codabar, u"123-45", 0, Codabar, false, {"123-45"}, {"123-45"}}}; // its start and stop letters unwrapped
    for (const auto& row : rows) {
        SCOPED_TRACE(Utf16ToUtf8(row.text) + (row.dropCheck ? " dropping" : "") + " as "
            + (row.lookedFor ? std::to_string(static_cast<int>(*row.lookedFor)) : "any"));
        const Grey grey = Painted({Encode(row.drawn, row.text, Options{0, 0, row.addCheck})});
        EXPECT_EQ(ReadBarcodes(Reader::ZXing, grey.picture(), row.lookedFor, row.dropCheck), row.zxing);
        EXPECT_EQ(ReadBarcodes(Reader::Zbar, grey.picture(), row.lookedFor, row.dropCheck), row.zbar);
    }
}

TEST(Readers, FindNothingInWhatIsNotAPicture)
{
    const Grey grey = Painted({Encode(Symbology::Code128, u"Zebrix", Options{0, 0, 0})});
    const GreyPicture good = grey.picture();
    const struct {
        const char* what;
        GreyPicture picture;
        std::optional<Symbology> symbology;
    } rows[] = {{"no pixels", {nullptr, good.width, good.height, good.stride}, {}},
        {"no width", {good.pixels, 0, good.height, good.stride}, {}},
        {"a negative height", {good.pixels, good.width, -1, good.stride}, {}},
        {"rows shorter than the width", {good.pixels, good.width, good.height, good.width - 1}, {}},
        {"no such symbology", good, static_cast<Symbology>(7)}};
    for (const auto& row : rows)
        for (const Reader reader : {Reader::ZXing, Reader::Zbar})
            EXPECT_EQ(ReadBarcodes(reader, row.picture, row.symbology), Strings{})
                << row.what << ", reader " << static_cast<int>(reader);
}

// Every symbology and option, short, whole, cut by 1, 2 and 10 columns, or over a saved picture: "Lisible" exactly
// when ZXing-C++ or zbar reads what a scanner returns (check characters included), and the verdict says it.
TEST(Verdict, ReadsWhenAReaderReads)
{
    using enum Symbology;
    const std::tuple<Symbology, std::u16string, std::u16string> kinds[] = {{Code39, u"A", u"ZEBRIX-39"},
        {Interleaved2of5, u"12", u"1234567"}, {Code128, u"A", u"Zebrix 1.0"}, {Codabar, u"1", u"123-45"}};
    for (const auto& [symbology, shortText, text] : kinds)
        for (const int options : {0, 1, 2, 3, 4, 5, 6, 7})
            for (const int cut : {-1, 0, 1, 2, 10, -2}) { // -1 short, -2 over a saved picture
                const Options o{options & 1, options >> 1 & 1, options >> 2};
                const Drawing whole = Encode(symbology, cut == -1 ? shortText : text, o);
                const std::int64_t width = cut > 0 ? whole.end - cut : whole.end + 20;
                const Drawing shown = Encode(symbology, cut == -1 ? shortText : text, o, width);
                const Grey grey = cut == -2 ? Painted({Encode(symbology, text + text, o, width), shown}, width)
                                            : Painted({shown}, width);
                const auto read = [&](Reader r) { return std::optional(ReadBarcodes(r, grey.picture(), symbology)); };
                const std::string scanned = Utf16ToUtf8(whole.label);
                const bool reads = read(Reader::ZXing) == Strings{scanned} || read(Reader::Zbar) == Strings{scanned};
                const Verdict v = Judge(shown, symbology, o, cut == -2, read);
                SCOPED_TRACE(scanned + " options " + std::to_string(options) + " cut " + std::to_string(cut));
                EXPECT_EQ(v.word(), reads ? "Lisible" : "Illisible");
                EXPECT_EQ(v.explanation().starts_with("Un lecteur lit « " + scanned + " »"), reads);
                EXPECT_EQ(v.explanation().find("coupé") != std::string::npos, cut > 0);
                const bool checked = reads && o.addCheck == 1 && (symbology == Code39 || symbology == Interleaved2of5);
                const std::string check
                    = "(caractère de contrôle « " + scanned.substr(scanned.size() - 1) + " » compris)";
                EXPECT_EQ(v.explanation().find(check) != std::string::npos, checked);
            }
}

TEST(Verdict, SaysWhatWasReadInstead)
{
    const Verdict v{Verdict::Kind::DoesNotRead, Verdict::Reason::None, Symbology::Code39, "CODE", {"C0DE", "CODF"}, {}};
    EXPECT_EQ(v.explanation(), "Se lit « C0DE », « CODF » au lieu de « CODE ».");
}
