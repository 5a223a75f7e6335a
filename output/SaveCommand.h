#pragma once
// "Enregistrer le Code Barre sous...": writes the surface's picture as BMP,
// JPEG (through the converter library) or PNG, and reads the file back for
// the surface's background picture and the window's caption.
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QWidget;

namespace zebrix {

// What the save command remembers from one save to the next, for the run of
// the program only (nothing is written to disk).
struct SaveMemory {
    // Full path chosen in the last save dialog; after a complete save, the
    // path actually written. Proposed when the dialog opens again.
    QString lastFileName;
    // File type chosen last, counted from 1; 0 until the first save.
    std::int16_t lastFileType = 0;
    // The text last returned by the ratio box, exactly as returned.
    QString lastRatioText;
};

// What a complete save gives the window.
struct SavedPicture {
    QImage picture; // the file read back, with the resolution it records
    QString caption; // "Ruvovez : " and the file's name
};

// The file types of the save dialog, as shown, numbered from 1 in this order.
QStringList SaveFileTypes();

// The whole save of `image`, dialogs and boxes over `parent`. Nothing when
// the user cancels (nothing is said) or the save fails (after one "Erreur"
// box naming the file and why).
std::optional<SavedPicture> SaveBarcode(QWidget* parent, const QImage& image, SaveMemory& memory);

} // namespace zebrix
