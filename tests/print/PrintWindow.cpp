// The real main window with the desktop's print dialog, printer and message
// boxes, for the print test on Xvfb. Its save button stands in for the save
// command (SaveForPrint.h): it writes code.bmp in the current folder and
// loads it back as the surface's background picture.
#include "SaveForPrint.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zebrix::Form1Services services = zebrix::Form1Services::desktop();
    services.save = [](zebrix::Form1& window) {
        zebrix::test::SaveLikeTheSaveCommand(window, QDir::current().filePath(QStringLiteral("code.bmp")),
                                             zebrix::test::SaveFormat::Bmp);
    };
    zebrix::Form1 window(services);
    window.show();
    return app.exec();
}
