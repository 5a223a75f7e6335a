#include "Commands.h"

#include "PicImage.h"

#include <memory>

namespace zebrix {

namespace {

// What the save command sees of the window: the surface's picture, its
// background picture and the caption.
class Form1SaveHost : public SaveHost {
public:
    explicit Form1SaveHost(Form1& window) : window_(window) {}
    QImage currentImage() const override { return window_.picImage()->image(); }
    void setBackgroundPicture(const QImage& picture) override { window_.picImage()->setBackgroundPicture(picture); }
    void setCaption(const QString& caption) override { window_.setWindowTitle(caption); }
    QWidget* dialogParent() override { return &window_; }
    Form1& window() const { return window_; }

private:
    Form1& window_;
};

struct BoundSave {
    BoundSave(Form1& window, SaveSeams seams) : host(window), command(host, std::move(seams)) {}
    Form1SaveHost host;
    SaveCommand command;
};

} // namespace

Form1Command SaveCommandFor(SaveSeams seams)
{
    std::shared_ptr<BoundSave> bound;
    return [seams = std::move(seams), bound](Form1& window) mutable {
        // Made at the first click, so that it outlives no window it points to
        // and keeps its remembered values from one click to the next.
        if (!bound || &bound->host.window() != &window)
            bound = std::make_shared<BoundSave>(window, seams);
        bound->command.Command3_Click();
    };
}

} // namespace zebrix
