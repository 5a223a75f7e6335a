#pragma once
// The system clipboard behind a small seam: put a picture, get plain text.
#include <QImage>
#include <QString>

namespace zebrix {

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Puts the picture on the clipboard as a bitmap.
    virtual void setImage(const QImage& image) = 0;
    // The clipboard's plain text, exactly as it is; empty when it holds none.
    virtual QString text() const = 0;
};

// The real thing: QGuiApplication::clipboard().
class QtClipboardService : public ClipboardService {
public:
    void setImage(const QImage& image) override;
    QString text() const override;
};

} // namespace zebrix
