#pragma once
#include <QFont>

namespace zebrix {

// The window's fonts were designed as "MS Sans Serif" and "Tahoma"; where
// those are missing the nearest installed sans-serif of the same pixel size
// and weight stands in. Sizes: 8.25 pt is 11 pixels and 9.75 pt 13 pixels at
// 96 dots per inch.
enum class FontFace { MsSansSerif, Tahoma };

QFont UiFont(FontFace face, int pixelSize, bool bold);

} // namespace zebrix
