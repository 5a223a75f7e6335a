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
    zebrix::MainWindowServices services = zebrix::MainWindowServices::desktop();
    services.save = [](zebrix::MainWindow& window) {
        zebrix::test::SaveLikeTheSaveCommand(window, QDir::current().filePath(QStringLiteral("code.bmp")),
                                             zebrix::test::SaveFormat::Bmp);
    };
    zebrix::MainWindow window(services);
    window.show();
    return app.exec();
}
