#pragma once
#include "verify/Readers.h"

#include <QImage>

namespace zebrix::test {

// Texts the program's reader finds in a Qt picture, any symbology (check characters as drawn, Codabar unwrapped).
inline std::vector<std::string> Decode(Reader reader, const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    return ReadBarcodes(reader, {grey.constBits(), grey.width(), grey.height(), static_cast<int>(grey.bytesPerLine())});
}
// The single text the reader finds, or "" when it finds none or several.
inline std::string ReadOne(Reader reader, const QImage& image)
{
    const auto texts = Decode(reader, image);
    return texts.size() == 1 ? texts[0] : "";
}

} // namespace zebrix::test
