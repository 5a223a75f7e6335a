#pragma once
// The print command: the background picture of the window's surface (the
// file that the last save loaded back) on one page of the printer the user
// chooses, 1 mm from the corner of the printable area, at its true size.
#include <QImage>
#include <QSizeF>

class QPrinter;
class QWidget;

namespace zebrix {

// Size in millimetres of a picture shown at its own resolution (its dots per
// metre; 96 dots per inch where it has none).
QSizeF NaturalSizeMm(const QImage& picture);

// Shows the print dialog over `parent` for one page, setting up `printer`.
// False when the user cancels or the dialog fails.
bool ChoosePrinter(QWidget* parent, QPrinter& printer);

// The picture alone on one page, its corner 1 mm from the corner of the
// printable area, at its natural size, without smoothing. False when there is
// no picture or the page could not be sent; nothing is printed then. Printed
// into a file, the file is replaced whole, or stays as it was.
bool PrintPicture(QPrinter& printer, const QImage& picture);

} // namespace zebrix
