#pragma once
#include "LongLineEdit.h"
#include "PicImage.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zebrix {

class ClipboardService;
class Form1;
class MessageBoxService;
class PrintService;

// A command that lives outside the window (save, print, about); it gets the
// window and works on it through its public members.
using Form1Command = std::function<void(Form1&)>;

// What the window needs from the desktop, handed over at construction so that
// tests can build a window with doubles. The pointers are not owned and must
// outlive the window.
struct Form1Services {
    MessageBoxService* messageBox = nullptr;
    ClipboardService* clipboard = nullptr;

    // Buttons whose commands are built elsewhere; an empty one does nothing.
    Form1Command print; // Command2 "Imprimer le Code Barre"
    Form1Command save;  // Command3 "Enregistrer le Code Barre sous..."
    Form1Command about; // Command7 "A Propos"

    // Ends the program (Command5 "Quitter Zebrix"). Empty: leave the
    // application's event loop at once, without asking anything.
    std::function<void()> quit;

    // The real desktop: Qt message boxes, the system clipboard and printers.
    static Form1Services desktop();
};

// The print command for Command2 on the printers of `printers` (not owned,
// must outlive the windows): the surface's background picture on one page,
// the window's pointer busy meanwhile, failures told by its message box.
Form1Command PrintCommand(PrintService& printers);

// The main window: the text to encode, the symbology, the three options, the
// picture surface and the command buttons. Every change of the text, the
// symbology, an option or the window's width draws the barcode again, from
// scratch, from what the controls hold at that moment.
class Form1 : public QWidget {
public:
    explicit Form1(Form1Services services = Form1Services::desktop(), QWidget* parent = nullptr);
    ~Form1() override;

    // Twips (1/1440 inch) are the window's design unit; 15 make a pixel.
    static constexpr int kTwipsPerPixel = 15;
    // The surface is this many twips narrower than the window's outer width.
    static constexpr int kSurfaceMarginTwips = 380;
    // Width in pixels of the surface for a window whose outer width (frame
    // included) is outerWidth pixels; never below one pixel, so a window
    // narrowed below 380 twips keeps a one-pixel surface.
    static int SurfaceWidthFor(int outerWidth);

    // Symbology index: 0 Code 39, 1 Interleaved 2 of 5, 2 Code 128, 3 Codabar.
    std::int32_t typeCode() const { return TypeCode; }
    PicImage* picImage() const { return picImage_; }
    QLineEdit* text1() const { return Text1; }
    QCheckBox* check1(int index) const { return Check1.at(static_cast<std::size_t>(index)); }
    QRadioButton* option1(int index) const { return Option1.at(static_cast<std::size_t>(index)); }
    const Form1Services& services() const { return services_; }

    // Called after every drawing with the symbology index used and the image
    // drawn; lets tests and tools follow the sequence of drawings.
    using DrawObserver = std::function<void(std::int32_t typeCode, const QImage& image)>;
    void setDrawObserver(DrawObserver observer) { drawObserver_ = std::move(observer); }

    // Draws the barcode of the current text, symbology and options.
    void GenerateBarcode();

    // Input events.
    void Form_Resize();
    void Option1_Click(std::int16_t Index);
    void Text1_Change();
    void Check1_Click(std::int16_t Index);

    // Commands.
    void Command2_Click(); // print
    void Command3_Click(); // save
    void Command4_Click(); // copy the surface's image to the clipboard
    void Command5_Click(); // quit
    void Command6_Click(); // paste the clipboard's text into Text1
    void Command7_Click(); // about
    void Command8_Click(); // reset: empty text, no background picture

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void setTabOrder();
    void centreOnScreen();

    Form1Services services_;
    DrawObserver drawObserver_;
    std::int32_t TypeCode = 0;
    int lastOuterWidth_ = -1;
    bool shownOnce_ = false;

    QLabel* Label1_0 = nullptr; // the array Label1 has one element
    LongLineEdit* Text1 = nullptr; // a QLineEdit that stays quick with a huge text
    std::array<QGroupBox*, 2> Frame1{};
    QWidget* Picture3 = nullptr;
    std::array<QRadioButton*, 4> Option1{};
    std::array<QCheckBox*, 3> Check1{};
    QGroupBox* Frame2 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    PicImage* picImage_ = nullptr;
};

} // namespace zebrix
