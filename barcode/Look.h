#pragma once
// What the window's look shares with the files written without Qt: the
// resolution (one pixel of the window is one pixel at 96 dots per inch,
// which saved files record and a picture that records none is taken at),
// and the families of the window's fonts, best first, the nearest installed
// sans-serif standing in where the first is missing. The Qt side is
// platform/Look.h.
namespace zebrix {

inline constexpr int kDotsPerInch = 96;
inline constexpr int kDotsPerMetre = 3780; // 96 dots per inch, to the nearest dot

inline constexpr const char* kMsSansSerifFamilies[]
    = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"};
inline constexpr const char* kTahomaFamilies[] = {"Tahoma", "Liberation Sans", "Arial", "DejaVu Sans"};

} // namespace zebrix
