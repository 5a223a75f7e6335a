#pragma once
#include "barcode/Options.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>

namespace zebrix::cli {

struct RenderRequest {
    std::int32_t typeCode = kCode39;
    std::u16string text;
    Options options{0, 1, 0}; // the command line's defaults scan: P = 0
    int width = 0;            // 0: the bars, a 20-pixel quiet zone, and the whole label
    int height = 67;
};

struct RenderResult {
    QImage image;    // null when the text cannot be drawn
    QString message; // the encoder's message for an invalid character, or why it failed
};

constexpr int kMaxWidth = 65535;

// Draws the text exactly as the window would on a surface of that width.
RenderResult RenderBarcode(const RenderRequest& request);

// Writes the image atomically (a temporary file renamed over the target), in
// the format named by the extension: .bmp (24-bit), .png, .jpg/.jpeg with the
// quality given. Returns an empty string, or what went wrong.
QString WriteImage(const QImage& image, const QString& path, int quality);

} // namespace zebrix::cli
