// The real main window with the desktop's print dialog, printer and message
// boxes, for the test on Xvfb; its save button writes code.bmp here.
#include "SaveForPrint.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zebrix::MainWindowServices services = zebrix::MainWindowServices::desktop();
    services.save = [](zebrix::MainWindow& window) {
        zebrix::test::SaveLikeTheSaveCommand(window, QDir::current().filePath("code.bmp"), zebrix::test::SaveFormat::Bmp);
    };
    zebrix::MainWindow window(services);
    window.show();
    return app.exec();
}
