#pragma once
// A surface that remembers every call, for tests of the drawing itself.
#include "barcode/Surface.h"

#include <string>
#include <variant>
#include <vector>

namespace zebrix::test {

struct ClearCall {
    bool operator==(const ClearCall&) const = default;
};
struct LineCall {
    float x1, y1, x2, y2;
    long colour;
    bool operator==(const LineCall&) const = default;
};
struct PositionCall {
    float x, y;
    bool operator==(const PositionCall&) const = default;
};
struct TextCall {
    std::u16string text;
    bool operator==(const TextCall&) const = default;
};
using Call = std::variant<ClearCall, LineCall, PositionCall, TextCall>;

class RecordingSurface : public Surface {
public:
    void Clear() override { calls.emplace_back(ClearCall{}); }
    void DrawLine(float x1, float y1, float x2, float y2, long colour) override
    {
        calls.emplace_back(LineCall{x1, y1, x2, y2, colour});
    }
    void SetTextPosition(float x, float y) override { calls.emplace_back(PositionCall{x, y}); }
    void PrintText(std::u16string_view text) override { calls.emplace_back(TextCall{std::u16string(text)}); }

    std::vector<LineCall> lines() const
    {
        std::vector<LineCall> out;
        for (const auto& c : calls)
            if (auto l = std::get_if<LineCall>(&c))
                out.push_back(*l);
        return out;
    }
    // x of every line, in drawing order.
    std::vector<int> lineXs() const
    {
        std::vector<int> out;
        for (const auto& l : lines())
            out.push_back(static_cast<int>(l.x1));
        return out;
    }
    std::vector<std::u16string> texts() const
    {
        std::vector<std::u16string> out;
        for (const auto& c : calls)
            if (auto t = std::get_if<TextCall>(&c))
                out.push_back(t->text);
        return out;
    }
    std::vector<PositionCall> positions() const
    {
        std::vector<PositionCall> out;
        for (const auto& c : calls)
            if (auto p = std::get_if<PositionCall>(&c))
                out.push_back(*p);
        return out;
    }

    std::vector<Call> calls;
};

} // namespace zebrix::test
