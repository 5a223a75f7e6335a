// Arbitrary UTF-16 text through every encoder with every option combination.
// Checks the rules every drawing keeps: cleared first; vertical black lines
// from y = 1 to 58 - 8L; the first bar at x = 20; or else nothing but one
// message; and a drawing cut at a surface width equals the full one cut there.
#include "barcode/Symbologies.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Line {
    float x;
    bool operator==(const Line&) const = default;
};

class CheckingSurface : public zebrix::Surface {
public:
    explicit CheckingSurface(int bottom) : bottom_(bottom) {}
    void Clear() override
    {
        if (calls_ != 0)
            std::abort(); // cleared once, first
        ++calls_;
    }
    void DrawLine(float x1, float y1, float x2, float y2, long colour) override
    {
        if (calls_ == 0 || texts != 0 || x1 != x2 || y1 != 1 || y2 != static_cast<float>(bottom_) || colour != 0)
            std::abort();
        if (lines.empty() && x1 != 20)
            std::abort();
        ++calls_;
        lines.push_back({x1});
    }
    void SetTextPosition(float, float y) override
    {
        if (y != 50 || lines.empty())
            std::abort(); // only the label is placed, after the bars
        ++calls_;
    }
    void PrintText(std::u16string_view text) override
    {
        if (calls_ == 0 || text.empty() || ++texts > 1)
            std::abort();
        ++calls_;
    }
    std::vector<Line> lines;
    int texts = 0;

private:
    int bottom_;
    int calls_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t control = data[0];
    const auto type = static_cast<zebrix::Symbology>(control & 3);
    const zebrix::Options options{(control >> 2) & 1, (control >> 3) & 1, (control >> 4) & 1};
    std::u16string text;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    CheckingSurface full(58 - 8 * options.addLabel);
    zebrix::GenerateBarcode(full, type, text, options);
    CheckingSurface cut(58 - 8 * options.addLabel);
    zebrix::GenerateBarcode(cut, type, text, options, 200);

    std::vector<Line> expected;
    for (const auto& l : full.lines)
        if (l.x < 200)
            expected.push_back(l);
    if (cut.lines != expected)
        std::abort();
    if (full.lines.empty() && full.texts != (text.empty() ? 0 : 1))
        std::abort(); // an invalid text shows exactly one message
    return 0;
}
