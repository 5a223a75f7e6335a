#pragma once
#include "qtsurface/BarcodePicture.h"

#include <QWidget>

namespace zebrix {

// The window's picture surface: the barcode is drawn into an off-screen image
// that outlives every repaint, so the window shows it again when uncovered and
// the copy, save and print commands can take it. The surface is exactly as big
// as the widget, one image pixel per logical pixel.
class BarcodeView : public QWidget {
public:
    explicit BarcodeView(QWidget* parent = nullptr);

    // Shows a drawing (an Unchanged one keeps the picture) and repaints.
    void show(const Drawing& drawing);

    // New width in pixels (at least 1), for the widget and its image at once;
    // the image is blank afterwards and the owner draws again.
    void setSurfaceWidth(int width);
    int surfaceWidth() const { return surface_.width(); }

    // The current image: white ground, background picture, and the drawing.
    const QImage& image() const { return surface_.image(); }

    // The picture under every drawing (a new drawing keeps it). Giving the surface a
    // picture, or taking it away, shows the new ground at once: whatever was
    // drawn over the old one goes with it.
    void setBackgroundPicture(const QImage& picture);
    void clearBackgroundPicture();
    const QImage& backgroundPicture() const { return surface_.backgroundPicture(); }
    bool hasBackgroundPicture() const { return surface_.hasBackgroundPicture(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    BarcodePicture surface_;
};

} // namespace zebrix
