#include "Commands.h"

#include "BarcodeView.h"

#include <memory>

namespace zebrix {

namespace {

// What the save command sees of the window: the surface's picture, its
// background picture and the caption.
class WindowSaveHost : public SaveHost {
public:
    explicit WindowSaveHost(MainWindow& window) : window_(window) {}
    QImage currentImage() const override { return window_.barcodeView()->image(); }
    void setBackgroundPicture(const QImage& picture) override { window_.barcodeView()->setBackgroundPicture(picture); }
    void setCaption(const QString& caption) override { window_.setWindowTitle(caption); }
    QWidget* dialogParent() override { return &window_; }
    MainWindow& window() const { return window_; }

private:
    MainWindow& window_;
};

struct BoundSave {
    BoundSave(MainWindow& window, SaveSeams seams) : host(window), command(host, std::move(seams)) {}
    WindowSaveHost host;
    SaveCommand command;
};

} // namespace

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
