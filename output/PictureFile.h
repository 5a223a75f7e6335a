#pragma once
// Loading a saved BMP or JPEG file back as the surface's background picture.
#include <QImage>
#include <QString>

namespace zebrix {

// The resolution of a picture that records none: 96 dots per inch.
inline constexpr int kDefaultDotsPerMeter = 3780;

// The picture in the file, with the resolution the file records (dots per
// metre, as Qt reads it) or, along an axis where it records none, 96 dots per
// inch, whatever the screen's. The print command prints the picture at that
// resolution. A null image when the file cannot be read.
QImage LoadPicture(const QString& path);

} // namespace zebrix
