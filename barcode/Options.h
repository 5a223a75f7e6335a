#pragma once
#include <cstdint>
#include <limits>

namespace zebrix {

// The four symbologies, numbered as the window's buttons are.
enum class Symbology : std::int32_t { Code39 = 0, Interleaved2of5 = 1, Code128 = 2, Codabar = 3 };

// The three option boxes, each 0 (not ticked) or 1 (ticked); they enter the
// geometry's formulas as numbers.
struct Options {
    int widenSpaces = 1; // "Optimisé pour impression": every space one column wider
    int addLabel = 1; // "Ajout du label": bars end at y = 58 - 8 x addLabel, the label printed at y = 50
    int addCheck = 0; // "Avec vérification": the check character (Code 39, Interleaved 2 of 5)
};

// Columns at or beyond this x are never visible; pass the picture's width so
// that nothing past its right edge costs time. The default keeps everything.
constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();

// Fixed geometry shared by every symbology.
constexpr int kFirstBarX = 20;
constexpr int kBarTop = 1;
constexpr int kLabelY = 50;

inline int BarBottom(const Options& o) { return 58 - 8 * o.addLabel; }

} // namespace zebrix
