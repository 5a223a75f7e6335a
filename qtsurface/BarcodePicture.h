#pragma once
#include "barcode/Drawing.h"
#include "barcode/Look.h"

#include <QFont>
#include <QImage>
#include <QString>

namespace zebrix {

// The window's picture of the barcode, kept in an off-screen QImage: white
// ground, an optional background picture at the top-left at its natural
// size, and the last drawing over it. Bars and label are painted by the
// core's one painter (the command line's files get the same pixels); a
// message is written with Qt, which can show any character.
class BarcodePicture {
public:
    static constexpr int kDefaultWidth = 481;
    static constexpr int kDefaultHeight = 67;
    static constexpr int kDotsPerMeter = kDotsPerMetre;

    explicit BarcodePicture(int width = kDefaultWidth, int height = kDefaultHeight);

    // Shows a drawing over the ground; an Unchanged one leaves the picture as it is.
    void show(const Drawing& drawing);
    // The ground alone: white, and the background picture if there is one.
    void clear();

    // New size; the picture is cleared (the caller draws again).
    void resize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // The current picture: ground, background picture and the drawing.
    const QImage& image() const { return image_; }

    // The picture under every drawing; clear() does not remove it.
    void setBackgroundPicture(const QImage& picture);
    void clearBackgroundPicture();
    const QImage& backgroundPicture() const { return background_; }
    bool hasBackgroundPicture() const { return !background_.isNull(); }

    // The font of messages: "MS Sans Serif" 8.25 pt (11 pixels), or the
    // nearest sans-serif installed.
    static QFont messageFont();
    // A message as it is shown: always one line, every character that shows
    // nothing of its own (a control, a tab, a line break, a format
    // character) or that no installed font draws ("U+FF11") named by its
    // code, "U+0009", "U+202E"; at most maxUnits code units of it.
    static QString displayText(std::u16string_view text, int maxUnits);

private:
    void writeMessage(std::u16string_view text);

    QImage image_;
    QImage background_;
};

} // namespace zebrix
