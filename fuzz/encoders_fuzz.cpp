// Arbitrary UTF-16 text through every encoder with every option combination.
// Checks the rules every drawing keeps: bars from y = 1 to 58 - 8L, the
// first at x = 20, columns ascending and left of the visible width; or else
// one message naming a character of the text; and a drawing cut at a width
// equals the full one cut there, the whole text being checked either way,
// its label a beginning of the full one.
#include "barcode/Drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckBars(const zebrix::Drawing& d, const zebrix::Options& options, std::int64_t visibleWidth)
{
    Check(d.top == 1 && d.bottom == 58 - 8 * options.addLabel);
    Check(std::is_sorted(d.columns.begin(), d.columns.end())
        && std::adjacent_find(d.columns.begin(), d.columns.end()) == d.columns.end());
    Check(d.columns.empty() || (d.columns.front() >= 20 && d.columns.back() < visibleWidth));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    using zebrix::Drawing;
    const std::uint8_t control = data[0];
    const auto symbology = static_cast<zebrix::Symbology>(control & 3);
    const zebrix::Options options{(control >> 2) & 1, (control >> 3) & 1, (control >> 4) & 1};
    const int visible = 20 + (control >> 5) * 40; // 20 to 300
    std::u16string text;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    const Drawing full = zebrix::Encode(symbology, text, options);
    const Drawing cut = zebrix::Encode(symbology, text, options, visible);
    Check(full.kind == cut.kind);
    switch (full.kind) {
    case Drawing::Kind::Unchanged: std::abort(); // every symbology is one
    case Drawing::Kind::Blank: Check(text.empty()); break;
    case Drawing::Kind::Message: Check(!text.empty() && cut.message == full.message && !full.message.empty()); break;
    case Drawing::Kind::Bars: {
        CheckBars(full, options, zebrix::kNoLimit);
        CheckBars(cut, options, visible);
        Check(!full.cut && full.columns.front() == 20);
        Check(full.end > full.columns.back());
        std::vector<std::int32_t> expected;
        for (const auto x : full.columns)
            if (x < visible)
                expected.push_back(x);
        Check(cut.columns == expected);
        Check(cut.cut || (cut.columns == full.columns && cut.end == full.end));
        Check(cut.cut || full.columns.back() < visible);
        // The label is built only as far as it can show, and whole when the
        // bars are.
        Check(!full.label.empty() && cut.labelX == full.labelX);
        Check(full.label.compare(0, cut.label.size(), cut.label) == 0);
        Check(cut.cut || cut.label == full.label);
        break;
    }
    }
    return 0;
}
