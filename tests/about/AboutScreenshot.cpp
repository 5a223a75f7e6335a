// Opens the about dialog over a stand-in for the main window and saves a
// picture of the screen once it is drawn. Run on a real X server:
//   xvfb-run -a -s "-screen 0 640x360x24" env QT_QPA_PLATFORM=xcb about_screenshot docs/about.png
#include "about/AboutDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: about_screenshot FILE.png\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);

    // Grey, so that the black dialog stands out from its owner.
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("Zebrix"));
    QPalette palette = owner.palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    owner.setPalette(palette);
    owner.setAutoFillBackground(true);
    const QRect screen = owner.screen()->geometry();
    owner.setGeometry(QRect(QPoint(0, 0), QSize(497, 245)).translated(screen.center() - QPoint(248, 122)));
    owner.show();

    bool saved = false;
    QTimer::singleShot(1000, [&] {
        const QPixmap shot = owner.screen()->grabWindow(0);
        saved = shot.save(file);
        if (!saved)
            std::fprintf(stderr, "about_screenshot: cannot write %s\n", argv[1]);
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    zebrix::ShowAbout(&owner);
    return saved ? 0 : 1;
}
