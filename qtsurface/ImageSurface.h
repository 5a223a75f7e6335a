#pragma once
#include "barcode/Surface.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>

namespace zebrix {

// The barcode's drawing surface kept in an off-screen QImage: white ground,
// an optional background picture at the top-left at its natural size, black
// one-pixel lines without smoothing, and the label font. The window and the
// command line draw through this same class, so their pixels are equal.
class ImageSurface : public Surface {
public:
    static constexpr int kDefaultWidth = 481;
    static constexpr int kDefaultHeight = 67;
    static constexpr int kDotsPerMeter = 3780; // 96 dots per inch

    explicit ImageSurface(int width = kDefaultWidth, int height = kDefaultHeight);

    void Clear() override;
    void DrawLine(float x1, float y1, float x2, float y2, long colour) override;
    void SetTextPosition(float x, float y) override;
    void PrintText(std::u16string_view text) override;

    // New size; the drawing is cleared (the caller draws again).
    void resize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // The current drawing: ground, background picture and everything drawn.
    const QImage& image() const { return image_; }

    // The picture under all drawing; Clear() does not remove it.
    void setBackgroundPicture(const QImage& picture);
    void clearBackgroundPicture();
    const QImage& backgroundPicture() const { return background_; }
    bool hasBackgroundPicture() const { return !background_.isNull(); }

    // "MS Sans Serif" 8.25 pt (11 pixels), or the nearest sans-serif installed.
    static QFont labelFont();
    // Width in pixels of a text as PrintText draws it.
    static int textWidth(std::u16string_view text);
    // The text as PrintText lays it out: always one line (control characters
    // shown as their visible symbols, characters that draw nothing as their
    // code, "U+202E"), cut where it could only run off the right.
    static QString displayText(std::u16string_view text, int maxUnits);

private:
    QImage image_;
    QImage background_;
    QPointF textPosition_;
};

} // namespace zebrix
