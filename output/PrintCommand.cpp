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
        printed = document->begin()                                  //
                  && document->setScaleMode(kScaleMillimetres)       //
                  && !picture.isNull()                               // nothing saved yet, or reset
                  && document->drawPicture(1.0f, 1.0f, picture)      //
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
