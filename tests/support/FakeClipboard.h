#pragma once
// A clipboard of our own: remembers the pictures put on it (oldest first), hands out a set text.
#include "platform/Clipboard.h"

#include <vector>

namespace zebrix::test {

struct FakeClipboard : ClipboardService {
    void setImage(const QImage& image) override { images.push_back(image); }
    QString text() const override { return plainText; }
    std::vector<QImage> images;
    QString plainText;
};

} // namespace zebrix::test
