// The real main window with the desktop's print dialog, printer and message
// boxes, for the test on Xvfb; its save button writes code.bmp here.
#include "Commands.h"
#include "MainWindow.h"
#include "support/FakeInputBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zebrix::test::FakeSaveFileDialog dialog;
    zebrix::test::FakeInputBox input;
    zebrix::MainWindowServices services = zebrix::MainWindowServices::desktop();
    services.save = [&](zebrix::MainWindow& window) {
        dialog.answers.push_back({{QDir::current().filePath("code.bmp"), 1}});
        zebrix::SaveCommandFor(zebrix::SaveSeams{&dialog, &input, nullptr, {ZEBRIX_CONVERTER_DIR}, {}})(window);
    };
    zebrix::MainWindow window(services);
    window.show();
    return app.exec();
}
