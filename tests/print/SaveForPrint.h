#pragma once
// The save, as far as printing needs it: writes the window's surface image to
// a file (BMP as Qt writes it, with the surface's 96 dots per inch; JPEG at
// quality 50), loads the file back as the surface's background picture and
// names it in the caption. Stands in for Command3_Click until the save
// command is merged; then this is the one place to switch to it.
#include "Form1.h"
#include "output/PictureFile.h"

#include <QFileInfo>
#include <QImageWriter>

namespace zebrix::test {

enum class SaveFormat { Bmp, Jpeg50 };

inline bool SaveLikeTheSaveCommand(Form1& window, const QString& path, SaveFormat format)
{
    QImageWriter writer(path, format == SaveFormat::Bmp ? "bmp" : "jpeg");
    if (format == SaveFormat::Jpeg50)
        writer.setQuality(50);
    if (!writer.write(window.picImage()->image()))
        return false;
    const QImage saved = LoadPicture(path);
    if (saved.isNull())
        return false;
    window.picImage()->setBackgroundPicture(saved);
    window.setWindowTitle(QStringLiteral("Ruvovez : ") + QFileInfo(path).fileName());
    return true;
}

} // namespace zebrix::test
