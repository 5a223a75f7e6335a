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
inline std::vector<std::string> DecodeWithZXing(const QImage& image) { return Decode(Reader::ZXing, image); }
inline std::vector<std::string> DecodeWithZbar(const QImage& image) { return Decode(Reader::Zbar, image); }

} // namespace zebrix::test
