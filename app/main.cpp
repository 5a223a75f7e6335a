// Zebrix: draws a one-dimensional barcode from a line of text while you type.
#include "MainWindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zebrix"));
    QApplication::setApplicationVersion(QStringLiteral(ZEBRIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("zebrix"));
    QIcon icon;
    for (const char* size : {"32", "64", "128"})
        icon.addFile(QStringLiteral(":/zebrix/zebrix-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    zebrix::MainWindow window;
    window.show();
    return app.exec();
}
