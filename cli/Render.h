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

} // namespace zebrix::cli
