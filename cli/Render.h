#pragma once
#include "cli/Layout.h"

#include <QImage>
#include <QString>

namespace zebrix::cli {

struct RenderResult {
    QImage image;    // null when the text cannot be drawn
    QString message; // the encoder's message for an invalid character, or why it failed
};

// Draws the text exactly as the window would, on the window's own surface
// (needs a QGuiApplication).
RenderResult RenderBarcode(const RenderRequest& request);

// Writes the image atomically, in the format named by the extension: .bmp
// (one bit per pixel when it holds only black and white, else 24), .png,
// .jpg/.jpeg with the quality given. Returns an empty string, or what went wrong.
QString WriteImage(const QImage& image, const QString& path, int quality);

} // namespace zebrix::cli
