#include "PrintCommand.h"

#include "platform/MessageBox.h"
#include "platform/Printer.h"

#include <memory>

namespace zebrix {

void PrintBackgroundPicture(PrintHost& host, PrintService& printers, MessageBoxService& messages)
{
    const std::unique_ptr<PrinterDocument> document = printers.choosePrinter(host.dialogParent());
    if (!document)
        return; // cancelled

    host.setMousePointer(MousePointer::Hourglass);
    bool printed = false;
    try {
        const QImage picture = host.backgroundPicture();
        printed = document->begin() //
            && !picture.isNull() // nothing saved yet, or reset
            && document->drawPicture({1.0, 1.0}, picture) // 1 mm from the corner
            && document->end();
    } catch (...) {
        printed = false;
    }
    if (!printed) {
        messages.show(host.dialogParent(), QStringLiteral("Erreur sur l'imprimante"), QStringLiteral("Erreur"),
            MessageIcon::Critical, MessageButtons::Ok);
        document->abort();
    }
    host.setMousePointer(MousePointer::Default);
}

} // namespace zebrix
