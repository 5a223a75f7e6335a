#include "MainWindow.h"

#include "CommandKeys.h"
#include "VerdictRemedies.h"
#include "WindowColours.h"
#include "about/AboutDialog.h"
#include "barcode/Drawing.h"
#include "output/PrintCommand.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace zebrix {

namespace {

constexpr auto Twips = TwipsRect;

QFont SansSerif(bool bold = false) { return UiFont(FontFace::MsSansSerif, kPixels8_25pt, bold); }
QFont Tahoma(int pixelSize, bool bold) { return UiFont(FontFace::Tahoma, pixelSize, bold); }

// The check-character box for each symbology: tooltip, value, enabled, set in that order.
struct CheckSetting {
    const char* tooltip;
    bool ticked;
    bool enabled;
};
constexpr CheckSetting kCheckForSymbology[4] = {
    {"Optionnel", false, true}, // Code 39
    {"Optionnel", false, true}, // Interleaved 2 of 5
    {"Non optionnel", true, false}, // Code 128: its check character is part of the symbol
    {"Non utilisé", false, false}, // Codabar: none
};

} // namespace

int MainWindow::SurfaceWidthFor(int outerWidth)
{
    const float twips = static_cast<float>(outerWidth) * kTwipsPerPixel - static_cast<float>(kSurfaceMarginTwips);
    if (!(twips > 0.0f))
        return 1;
    const long pixels = std::lround(twips / kTwipsPerPixel);
    return static_cast<int>(std::clamp<long>(pixels, 1, std::numeric_limits<int>::max()));
}

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowSystemMenuHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(QIcon(QStringLiteral(":/zebrix/zebrix-32.png")));
    setFont(SansSerif());
    setPalette(BlackPalette(palette()));
    setAutoFillBackground(true);
    resize(Twips(0, 0, 7455, 3675).size()); // client area 497 x 245

    buildControls();
    ClickFocusedButtonsOnEnter(*this);
    connectControls();
    setTabOrder();
    centreOnScreen();
    textField_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    const auto place = [](QWidget* w, const char* name, QRect geometry) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(geometry);
    };

    textLabel_ = new QLabel(QStringLiteral("Données du code barre : "), this);
    place(textLabel_, "Label1_0", Twips(120, 120, 2175, 255));
    textLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    textLabel_->setFont(SansSerif(true));

    textField_ = new LongLineEdit(this);
    place(textField_, "Text1", Twips(2280, 120, 4575, 285));
    QFont textFont = SansSerif(true);
    // Up to ten thousand characters are laid out whole on every keystroke:
    // skip the typographic shaping that plain Latin text does not need
    // (scripts that need it keep it).
    textFont.setStyleStrategy(QFont::PreferNoShaping);
    textField_->setFont(textFont);
    textField_->setMaxLength(std::numeric_limits<int>::max()); // no limit of our own
    KeepSystemColours(textField_);
    textLabel_->setBuddy(textField_);

    pasteButton_ = new QPushButton(QStringLiteral("..."), this);
    place(pasteButton_, "Command6", Twips(6960, 120, 375, 375));
    pasteButton_->setToolTip(QStringLiteral("Coller un lien à partir du presse papier"));
    pasteButton_->setFont(Tahoma(13, true));

    symbologyFrame_ = new QGroupBox(QStringLiteral("Type Code Barre"), this);
    place(symbologyFrame_, "Frame1_1", Twips(120, 480, 1815, 1455));
    symbologyFrame_->setFont(SansSerif(true));

    symbologyPanel_ = new QWidget(symbologyFrame_);
    place(symbologyPanel_, "Picture3", Twips(120, 360, 975, 975));
    static constexpr struct {
        const char* caption;
        const char* tooltip;
        int top, width;
    } kSymbologyButtons[4] = {{"39", "Code 3 of 9", 0, 975}, {"I 2 of 5", "Interleaved 2 of 5", 240, 975},
        {"128", "Code 128", 480, 975}, {"Codabar", "Codabar/NW-7", 720, 900}};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(kSymbologyButtons[i].caption), symbologyPanel_);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        b->setGeometry(Twips(0, kSymbologyButtons[i].top, kSymbologyButtons[i].width, 255));
        b->setToolTip(QString::fromUtf8(kSymbologyButtons[i].tooltip));
        b->setFont(SansSerif());
        ShowFocusMarkInTextColour(b);
        symbologyButtons_[static_cast<std::size_t>(i)] = b;
    }
    symbologyButtons_[0]->setChecked(true);
    keepTabOnSelectedSymbology();

    optionsFrame_ = new QGroupBox(QStringLiteral("Paramètres "), this);
    place(optionsFrame_, "Frame1_0", Twips(2040, 480, 2295, 1455));
    optionsFrame_->setFont(SansSerif(true));
    static constexpr struct {
        const char* caption;
        const char* tooltip;
        int top, width;
        bool ticked;
    } kOptionBoxes[3] = {{"Optimisé pour impression", "Increases spacing", 360, 2055, true},
        {"Ajout du label", "Human readable", 600, 2055, true}, {"Avec vérification", "Optional", 840, 1935, false}};
    for (int i = 0; i < 3; ++i) {
        auto* c = new QCheckBox(QString::fromUtf8(kOptionBoxes[i].caption), optionsFrame_);
        c->setObjectName(QStringLiteral("Check1_%1").arg(i));
        c->setGeometry(Twips(120, kOptionBoxes[i].top, kOptionBoxes[i].width, 195));
        c->setToolTip(QString::fromUtf8(kOptionBoxes[i].tooltip));
        c->setFont(SansSerif());
        c->setChecked(kOptionBoxes[i].ticked);
        ShowFocusMarkInTextColour(c);
        optionBoxes_[static_cast<std::size_t>(i)] = c;
    }

    buildCommandButtons();

    // The stand-in fonts run a little wider than the designed ones: a box
    // whose caption would be cut grows to the right (its container still
    // clips it), never narrower than designed.
    const auto fitCaption
        = [](QAbstractButton* b) { b->resize(std::max(b->width(), b->sizeHint().width()), b->height()); };
    for (QRadioButton* b : symbologyButtons_)
        fitCaption(b);
    for (QCheckBox* b : optionBoxes_)
        fitCaption(b);

    barcodeView_ = new BarcodeView(this);
    barcodeView_->setObjectName(QStringLiteral("PicImage"));
    barcodeView_->move(Twips(120, 2520, 0, 0).topLeft());
    barcodeView_->setSurfaceWidth(Twips(0, 0, 7215, 0).width());
    verdictIndicator_ = new VerdictIndicator(this); // in the free band under the option boxes, in their frame
    verdictIndicator_->place(Twips(2160, 1560, 2055, 300));
    verdictIndicator_->setRemedyFinder([this](const Verdict& v) { return FindRemedy(v, *this); });
}

void MainWindow::buildCommandButtons()
{
    const auto button
        = [this](QWidget* parent, const char* name, const QString& caption, QRect geometry, const QFont& font) {
              auto* b = new QPushButton(caption, parent);
              b->setObjectName(QLatin1String(name));
              b->setGeometry(geometry);
              b->setFont(font);
              KeepSystemColours(b);
              b->setAutoDefault(false);
              return b;
          };
    KeepSystemColours(pasteButton_);
    pasteButton_->setAutoDefault(false);

    commandsFrame_ = new QGroupBox(this);
    commandsFrame_->setObjectName(QStringLiteral("Frame2"));
    commandsFrame_->setGeometry(Twips(4440, 480, 2895, 1935));
    copyButton_ = button(commandsFrame_, "Command4", QStringLiteral("Copier vers presse papier"),
        Twips(120, 240, 2655, 495), SansSerif(true));
    saveButton_ = button(commandsFrame_, "Command3", QStringLiteral("Enregistrer le Code Barre sous..."),
        Twips(120, 840, 2655, 495), Tahoma(11, false));
    printButton_ = button(commandsFrame_, "Command2", QStringLiteral("Imprimer le Code Barre"),
        Twips(120, 1440, 1935, 375), Tahoma(11, false));
    resetButton_
        = button(commandsFrame_, "Command8", QStringLiteral("RàZ"), Twips(2160, 1440, 615, 375), Tahoma(13, true));
    resetButton_->setToolTip(QStringLiteral("Réinitialisation..."));
    quitButton_
        = button(this, "Command5", QStringLiteral("Quitter Zebrix"), Twips(120, 2040, 3495, 375), Tahoma(11, true));
    aboutButton_ = button(this, "Command7", QString(), Twips(3720, 2040, 615, 375), font());
    aboutButton_->setToolTip(QStringLiteral("A Propos"));
    aboutButton_->setAccessibleName(QStringLiteral("A Propos"));
    aboutButton_->setIcon(QIcon(QStringLiteral(":/zebrix/about.png")));
    aboutButton_->setIconSize(QSize(15, 21));

    // Ctrl+C stays the text field's copy.
    GiveShortcut(*copyButton_, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), QStringLiteral("Copier le code barre"));
    GiveShortcut(*saveButton_, QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("Enregistrer le code barre"));
    GiveShortcut(*printButton_, QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Imprimer le code barre"));
    GiveShortcut(*quitButton_, QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("Quitter Zebrix"));
    GiveShortcut(*aboutButton_, QKeySequence(Qt::Key_F1), QString()); // its tooltip stays "A Propos"
}

void MainWindow::connectControls()
{
    // Value changes, not only clicks: a box ticked by the program draws too.
    for (int i = 0; i < 4; ++i)
        connect(symbologyButtons_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (!checked)
                return;
            keepTabOnSelectedSymbology();
            chooseSymbology(static_cast<Symbology>(i));
        });
    for (QCheckBox* box : optionBoxes_)
        connect(box, &QCheckBox::toggled, this, [this] { optionToggled(); });
    connect(textField_, &LongLineEdit::textChanged, this, [this] { textChanged(); });
    connect(printButton_, &QPushButton::clicked, this, [this] { print(); });
    connect(saveButton_, &QPushButton::clicked, this, [this] { save(); });
    connect(copyButton_, &QPushButton::clicked, this, [this] { copyBarcode(); });
    connect(quitButton_, &QPushButton::clicked, this, [this] { quit(); });
    connect(pasteButton_, &QPushButton::clicked, this, [this] { pasteText(); });
    connect(aboutButton_, &QPushButton::clicked, this, [this] { showAbout(); });
    connect(resetButton_, &QPushButton::clicked, this, [this] { reset(); });
}

void MainWindow::setTabOrder()
{
    // Only the controls that take the keyboard, in their design order.
    QWidget* const order[] = {textField_, symbologyButtons_[0], symbologyButtons_[1], symbologyButtons_[2],
        symbologyButtons_[3], optionBoxes_[0], optionBoxes_[1], optionBoxes_[2], copyButton_, printButton_, saveButton_,
        pasteButton_, aboutButton_, resetButton_, quitButton_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    QWidget::setTabOrder(optionBoxes_[2], verdictIndicator_->remedyLink()); // under the boxes, when shown
}

void MainWindow::keepTabOnSelectedSymbology()
{
    // What Qt does once a button of the group has had the focus, done at every selection (a click that takes no
    // focus, a screen reader's press, the start): Tab and Shift+Tab enter on the selected button, whose arrows
    // then move the selection.
    for (QRadioButton* b : symbologyButtons_)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void MainWindow::centreOnScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    // move() places the frame; its size is known once the window exists.
    const QRect area = s->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

Options MainWindow::options() const
{
    const auto ticked = [this](OptionBox box) { return optionBox(box)->isChecked() ? 1 : 0; };
    return {ticked(OptionBox::WidenSpaces), ticked(OptionBox::AddLabel), ticked(OptionBox::AddCheck)};
}

void MainWindow::redraw()
{
    const QString text = textField_->text();
    const Options options = this->options();
    const std::u16string_view view(
        reinterpret_cast<const char16_t*>(text.constData()), static_cast<std::size_t>(text.size()));
    const Drawing drawing = Encode(symbology_, view, options, barcodeView_->surfaceWidth());
    barcodeView_->show(drawing);
    verdictIndicator_->judge(drawing, symbology_, options, barcodeView_->image(), barcodeView_->hasBackgroundPicture());
    if (drawObserver_)
        drawObserver_(symbology_, barcodeView_->image());
}

void MainWindow::fitSurfaceToWidth()
{
    lastOuterWidth_ = frameGeometry().width();
    barcodeView_->setSurfaceWidth(SurfaceWidthFor(lastOuterWidth_));
    redraw();
}

void MainWindow::chooseSymbology(Symbology symbology)
{
    const auto index = static_cast<std::int32_t>(symbology);
    if (index >= 0 && index < 4) {
        const CheckSetting& s = kCheckForSymbology[index];
        QCheckBox* check = optionBox(OptionBox::AddCheck);
        check->setToolTip(QString::fromUtf8(s.tooltip));
        check->setChecked(s.ticked); // a change draws at once, still with the old symbology
        check->setEnabled(s.enabled);
    }
    symbology_ = symbology;
    redraw();
}

void MainWindow::textChanged() { redraw(); }

void MainWindow::optionToggled()
{
    redraw(); // every encoder reads all three boxes
}

void MainWindow::print()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(ProgramTitle());
    }
    if (!ChoosePrinter(this, *printer_))
        return; // cancelled: no word, and the pointer as it was
    setCursor(Qt::BusyCursor);
    if (!PrintPicture(*printer_, barcodeView_->backgroundPicture()))
        ShowMessage(this, QStringLiteral("Erreur sur l'imprimante"), QStringLiteral("Erreur"), QMessageBox::Critical);
    unsetCursor();
}

void MainWindow::save()
{
    if (const auto saved = SaveBarcode(this, barcodeView_->image(), saveMemory_)) {
        barcodeView_->setBackgroundPicture(saved->picture);
        setWindowTitle(saved->caption);
    }
}

void MainWindow::copyBarcode() { QGuiApplication::clipboard()->setImage(barcodeView_->image()); }

void MainWindow::quit() { QCoreApplication::exit(0); }

void MainWindow::pasteText()
{
    // The "text/plain" flavour, exactly as it is: no markup, line breaks kept.
    // One step of undo, even when the clipboard holds no text and empties the field.
    textField_->replaceAll(QGuiApplication::clipboard()->text()); // redraws through textChanged
}

void MainWindow::showAbout() { ShowAbout(this); }

void MainWindow::reset()
{
    textField_->setText(QString()); // redraws through textChanged when there was a text
    barcodeView_->clearBackgroundPicture();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitSurfaceToWidth();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        centreOnScreen(); // again, now with the frame's size
    }
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager's frame is often known only after the first display;
    // the outer width then changes without a resize of the window itself.
    if (isVisible() && frameGeometry().width() != lastOuterWidth_)
        fitSurfaceToWidth();
}

} // namespace zebrix
