#pragma once
// The main window.
//
// It holds the controls (the text field, four symbology buttons, three option
// boxes, seven command buttons) and the barcode view, and nothing else of its
// own but the symbology chosen. Every change of the text, the symbology, an
// option or the window's width calls redraw(), which reads the controls,
// asks barcode/'s Encode for the drawing (a plain value: bar columns, label,
// or a one-line message) and shows it on the view (BarcodeView, whose
// BarcodePicture from qtsurface/ paints it over the saved picture, if any),
// then hands the drawing and the view's image to the verdict indicator
// (VerdictIndicator: verify/'s Judge, the picture read off the user-interface
// thread), which never paints on the image; nothing else is kept from one
// drawing to the next. The save and print commands are output/'s, called
// with what they need; the window keeps what the save remembers and the
// printer chosen last.
//
// Each widget keeps its designer name as its Qt object name, which UI
// automation and screen readers go by:
//
//   "Form1"     the window              "Command4"  copyButton_
//   "Label1_0"  textLabel_              "Command3"  saveButton_
//   "Text1"     textField_              "Command2"  printButton_
//   "Command6"  pasteButton_ ("...")    "Command8"  resetButton_ ("RàZ")
//   "Frame1_1"  symbologyFrame_         "Command5"  quitButton_
//   "Picture3"  symbologyPanel_         "Command7"  aboutButton_
//   "Option1_0" .. "Option1_3"  symbologyButtons_ (Code 39, I 2 of 5, 128, Codabar)
//   "Frame1_0"  optionsFrame_           "Frame2"    commandsFrame_
//   "Check1_0" .. "Check1_2"    optionBoxes_ (wider spaces, label, check character)
//   "PicImage"  barcodeView_
//   "VerdictIndicator"  verdictIndicator_, "VerdictRemedy" its link (no designer names: added since)
#include "BarcodeView.h"
#include "LongLineEdit.h"
#include "VerdictIndicator.h"
#include "barcode/Options.h"
#include "output/SaveCommand.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace zebrix {

// The three option boxes, in their order on the screen.
enum class OptionBox { WidenSpaces = 0, AddLabel = 1, AddCheck = 2 };

class MainWindow : public QWidget {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The barcode view is this many twips narrower than the window's outer width.
    static constexpr int kSurfaceMarginTwips = 380;
    // Width in pixels of the view for a window whose outer width (frame
    // included) is outerWidth pixels; never below one pixel, so a window
    // narrowed below 380 twips keeps a one-pixel view.
    static int SurfaceWidthFor(int outerWidth);

    Symbology symbology() const { return symbology_; }
    Options options() const; // the option boxes, as the encoder takes them
    BarcodeView* barcodeView() const { return barcodeView_; }
    VerdictIndicator* verdictIndicator() const { return verdictIndicator_; }
    LongLineEdit* textField() const { return textField_; }
    QCheckBox* optionBox(OptionBox box) const { return optionBoxes_.at(static_cast<std::size_t>(box)); }
    QRadioButton* symbologyButton(Symbology symbology) const
    {
        return symbologyButtons_.at(static_cast<std::size_t>(symbology));
    }

    // Called after every drawing with the symbology used and the image drawn;
    // lets tests and tools follow the sequence of drawings.
    using DrawObserver = std::function<void(Symbology symbology, const QImage& image)>;
    void setDrawObserver(DrawObserver observer) { drawObserver_ = std::move(observer); }

    // Draws the barcode of the current text, symbology and options.
    void redraw();

    // What the controls do.
    void chooseSymbology(Symbology symbology); // a value outside the enumeration draws nothing
    void textChanged();
    void optionToggled();
    void fitSurfaceToWidth(); // the window's outer width changed

    void print();
    void save();
    void copyBarcode(); // the view's image to the clipboard
    void quit(); // leaves the application's event loop at once
    void pasteText(); // the clipboard's text into the text field
    void showAbout();
    void reset(); // empty text, no background picture

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildCommandButtons();
    void connectControls();
    void setTabOrder();
    void keepTabOnSelectedSymbology(); // the only symbology button Tab reaches is the selected one
    void centreOnScreen();

    SaveMemory saveMemory_;
    std::unique_ptr<QPrinter> printer_; // made at the first print; the printer chosen last is proposed again
    DrawObserver drawObserver_;
    Symbology symbology_ = Symbology::Code39;
    int lastOuterWidth_ = -1;
    bool shownOnce_ = false;

    QLabel* textLabel_ = nullptr;
    LongLineEdit* textField_ = nullptr; // a QLineEdit that stays quick with a huge text
    QPushButton* pasteButton_ = nullptr;
    QGroupBox* symbologyFrame_ = nullptr;
    QWidget* symbologyPanel_ = nullptr;
    std::array<QRadioButton*, 4> symbologyButtons_{}; // indexed by Symbology
    QGroupBox* optionsFrame_ = nullptr;
    std::array<QCheckBox*, 3> optionBoxes_{}; // indexed by OptionBox
    QGroupBox* commandsFrame_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QPushButton* aboutButton_ = nullptr;
    BarcodeView* barcodeView_ = nullptr;
    VerdictIndicator* verdictIndicator_ = nullptr; // under the option boxes
};

} // namespace zebrix
