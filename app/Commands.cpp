#include "Commands.h"

#include "BarcodeView.h"
#include "about/AboutDialog.h"
#include "output/PrintCommand.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

#include <memory>

namespace zebrix {

namespace {

class DesktopServices {
public:
    QtMessageBoxService messageBox;
    QtClipboardService clipboard;
    QtPrintService printer;
};

// The window as the print command sees it.
class WindowPrintHost : public PrintHost {
public:
    explicit WindowPrintHost(MainWindow& window)
        : window_(window)
    {
    }
    QWidget* dialogParent() override { return &window_; }
    QImage backgroundPicture() const override { return window_.barcodeView()->backgroundPicture(); }
    void setMousePointer(MousePointer pointer) override
    {
        if (pointer == MousePointer::Default)
            window_.unsetCursor();
        else
            window_.setCursor(Qt::BusyCursor);
    }

private:
    MainWindow& window_;
};

// What the save command sees of the window: the surface's picture, its
// background picture and the caption.
class WindowSaveHost : public SaveHost {
public:
    explicit WindowSaveHost(MainWindow& window)
        : window_(window)
    {
    }
    QImage currentImage() const override { return window_.barcodeView()->image(); }
    void setBackgroundPicture(const QImage& picture) override { window_.barcodeView()->setBackgroundPicture(picture); }
    void setCaption(const QString& caption) override { window_.setWindowTitle(caption); }
    QWidget* dialogParent() override { return &window_; }
    MainWindow& window() const { return window_; }

private:
    MainWindow& window_;
};

struct BoundSave {
    BoundSave(MainWindow& window, SaveSeams seams)
        : host(window)
        , command(host, std::move(seams))
    {
    }
    WindowSaveHost host;
    SaveCommand command;
};

} // namespace

WindowCommand PrintCommand(PrintService& printers)
{
    return [&printers](MainWindow& window) {
        WindowPrintHost host(window);
        PrintBackgroundPicture(host, printers, *window.services().messageBox);
    };
}

MainWindowServices MainWindowServices::desktop()
{
    static DesktopServices real;
    MainWindowServices s;
    s.messageBox = &real.messageBox;
    s.clipboard = &real.clipboard;
    s.print = PrintCommand(real.printer);
    s.save = SaveCommandFor();
    s.about = [](MainWindow& window) { ShowAbout(&window); };
    return s;
}

WindowCommand SaveCommandFor(SaveSeams seams)
{
    std::shared_ptr<BoundSave> bound;
    return [seams = std::move(seams), bound](MainWindow& window) mutable {
        // Made at the first click, so that it outlives no window it points to
        // and keeps its remembered values from one click to the next.
        if (!bound || &bound->host.window() != &window)
            bound = std::make_shared<BoundSave>(window, seams);
        bound->command.run();
    };
}

} // namespace zebrix
