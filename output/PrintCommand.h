#pragma once
// The print command: the background picture of the window's surface (the
// file that the last save loaded back) on one page of the printer the user
// chooses, 1 mm from the corner of the printable area, at its true size.
#include <QImage>

class QWidget;

namespace zebrix {

class MessageBoxService;
class PrintService;

// The window's mouse pointer, numbered as the program's pointers.
enum class MousePointer { Default = 0, Hourglass = 11 };

// What the command needs of the window it is started from.
class PrintHost {
public:
    virtual ~PrintHost() = default;
    // Owner of the print dialog and of the message box.
    virtual QWidget* dialogParent() = 0;
    // The surface's background picture; null when there is none.
    virtual QImage backgroundPicture() const = 0;
    virtual void setMousePointer(MousePointer pointer) = 0;
};

// Shows the print dialog; on cancel ends without a word and without touching
// the pointer. Otherwise makes the page under the hourglass: begin, the
// background picture at (1 mm, 1 mm), end. Any failure on the way
// (no background picture included) says "Erreur sur l'imprimante" once and
// abandons the document; the pointer is normal again afterwards.
void PrintBackgroundPicture(PrintHost& host, PrintService& printers, MessageBoxService& messages);

} // namespace zebrix
