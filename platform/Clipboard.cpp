#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zebrix {

void QtClipboardService::setImage(const QImage& image)
{
    QGuiApplication::clipboard()->setImage(image, QClipboard::Clipboard);
}

QString QtClipboardService::text() const
{
    // text() asks for the "text/plain" flavour: no markup, line breaks kept.
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

} // namespace zebrix
