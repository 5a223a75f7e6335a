#pragma once
// Real barcode readers, to prove that what we draw scans back.
#include <QImage>

#include <string>
#include <vector>

namespace zebrix::test {

// Texts ZXing-C++ reads in the image (linear formats only, start/stop
// characters of Codabar not returned; check characters as drawn).
std::vector<std::string> DecodeWithZXing(const QImage& image);
// Texts zbar reads in the image.
std::vector<std::string> DecodeWithZbar(const QImage& image);

} // namespace zebrix::test
