// Opens the about dialog over a grey stand-in for the main window and saves a
// picture of the screen once it is drawn. Run on a real X server:
//   xvfb-run -a -s "-screen 0 640x360x24" env QT_QPA_PLATFORM=xcb about_screenshot docs/about.png
#include "about/AboutDialog.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return std::fprintf(stderr, "Usage: about_screenshot FILE.png\n"), 2;
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("Zebrix"));
    QPalette palette = owner.palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    owner.setPalette(palette);
    owner.setAutoFillBackground(true);
    owner.setGeometry(QRect(owner.screen()->geometry().center() - QPoint(248, 122), QSize(497, 245)));
    owner.show();
    bool saved = false;
    QTimer::singleShot(1000, [&] {
        if (!(saved = owner.screen()->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))))
            std::fprintf(stderr, "about_screenshot: cannot write %s\n", argv[1]);
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    zebrix::ShowAbout(&owner);
    return saved ? 0 : 1;
}
