#pragma once
// The window's look in one place: its title, its design unit (twips) and its
// fonts with their stand-ins. The resolution and the font families are in
// barcode/Look.h, which the command line shares without Qt.
#include "barcode/Look.h"

#include <QFont>
#include <QRect>
#include <QString>

namespace zebrix {

// The program's name as its windows show it.
inline QString ProgramTitle() { return QStringLiteral("Zebrix"); }

// Twips (1/1440 inch) are the window's design unit: 15 make a pixel.
inline constexpr int kTwipsPerPixel = 1440 / kDotsPerInch;
// Twips in pixels, to the nearest (a half rounds up).
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
QRect TwipsRect(int left, int top, int width, int height);

// The window's fonts were designed as "MS Sans Serif" and "Tahoma"; where
// those are missing the nearest installed sans-serif of the same pixel size
// and weight stands in. Sizes: 8.25 pt is 11 pixels and 9.75 pt 13 pixels at
// 96 dots per inch.
enum class FontFace { MsSansSerif, Tahoma };
inline constexpr int kPixels8_25pt = 11;
inline constexpr int kPixels9_75pt = 13;
QFont UiFont(FontFace face, int pixelSize, bool bold);

} // namespace zebrix
