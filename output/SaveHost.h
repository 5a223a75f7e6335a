#pragma once
// What the save command needs of the main window.
#include <QImage>
#include <QString>

class QWidget;

namespace zebrix {

class SaveHost {
public:
    virtual ~SaveHost() = default;
    // The picture on the surface as shown: ground, background picture, bars.
    virtual QImage currentImage() const = 0;
    // The picture under all later drawings, until the reset command.
    virtual void setBackgroundPicture(const QImage& picture) = 0;
    virtual void setCaption(const QString& caption) = 0;
    // Parent of the dialogs and message boxes.
    virtual QWidget* dialogParent() = 0;
};

} // namespace zebrix
