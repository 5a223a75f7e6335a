#pragma once
// A clipboard of our own: remembers what was put on it, hands out a set text.
#include "platform/Clipboard.h"

#include <vector>

namespace zebrix::test {

class FakeClipboard : public ClipboardService {
public:
    void setImage(const QImage& image) override { images.push_back(image); }
    QString text() const override
    {
        ++textReads;
        return plainText;
    }

    std::vector<QImage> images; // every picture put, oldest first
    QString plainText;          // what a paste gets
    mutable int textReads = 0;
};

} // namespace zebrix::test
