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

// The text at one pixel per narrow unit, no label, a quiet zone after it.
Grey Painted(Symbology symbology, std::u16string_view text, int addCheck)
{
    const Drawing d = Encode(symbology, text, Options{0, 0, addCheck});
    Grey grey{static_cast<int>(d.end) + 20, 2 * 67, {}};
    grey.pixels.assign(static_cast<std::size_t>(2 * grey.w * grey.h), 255);
    for (int y = 0; y < grey.h; ++y)
        std::fill_n(grey.pixels.begin() + (2 * y + 1) * grey.w, grey.w, 0);
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
    } rows[] = {{Code39, u"CODE39", 1, Code39, false, {"CODE39W"}, {"CODE39W"}},
        {Code39, u"CODE39", 1, Code39, true, {"CODE39"}, {"CODE39"}},
        {Code39, u"CODE39X", 0, Code39, true, {}, {"CODE39X"}}, // a wrong check character
        {Code39, u"CODE39", 0, std::nullopt, true, {"CODE39"}, {"CODE39"}},
        {Code39, u"CODE39", 0, Code128, false, {}, {}},
        {Interleaved2of5, u"12345", 0, Interleaved2of5, false, {"012345"}, {"012345"}},
        {Code128, u"Hello, World!", 0, std::nullopt, false, {"Hello, World!"}, {"Hello, World!"}},
        {Codabar, u"123-45", 0, Codabar, false, {"123-45"}, {"123-45"}}}; // no start or stop character
    for (const auto& row : rows) {
        SCOPED_TRACE(Utf16ToUtf8(row.text) + (row.dropCheck ? " dropping" : "") + " as "
            + (row.lookedFor ? std::to_string(static_cast<int>(*row.lookedFor)) : "any"));
        const Grey grey = Painted(row.drawn, row.text, row.addCheck);
        EXPECT_EQ(ReadBarcodes(Reader::ZXing, grey.picture(), row.lookedFor, row.dropCheck), row.zxing);
        EXPECT_EQ(ReadBarcodes(Reader::Zbar, grey.picture(), row.lookedFor, row.dropCheck), row.zbar);
    }
}

TEST(Readers, FindNothingInWhatIsNotAPicture)
{
    const Grey grey = Painted(Symbology::Code128, u"Zebrix", 0);
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

TEST(Verdict, SaysWhatWasReadInstead)
{
    const Verdict v{Verdict::Kind::DoesNotRead, Verdict::Reason::None, Symbology::Code39, "CODE", {"C0DE", "CODF"}};
    EXPECT_EQ(v.explanation(), "Se lit « C0DE », « CODF » au lieu de « CODE ».");
}
