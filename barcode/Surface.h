#pragma once
#include <string_view>

namespace zebrix {

// The drawing surface the encoders draw on: pixels, origin at the top-left,
// y downwards. These four operations are all an encoder ever uses.
class Surface {
public:
    virtual ~Surface() = default;

    // Removes everything drawn since the last clear (the background, and the
    // background picture if there is one, show again); text position -> (0, 0).
    virtual void Clear() = 0;
    // A one-pixel line from (x1, y1) to (x2, y2); colour 0 is black.
    virtual void DrawLine(float x1, float y1, float x2, float y2, long colour) = 0;
    // Where the next PrintText puts the top-left corner of its text.
    virtual void SetTextPosition(float x, float y) = 0;
    virtual void PrintText(std::u16string_view text) = 0;
};

} // namespace zebrix
