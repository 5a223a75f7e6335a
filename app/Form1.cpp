#include "Form1.h"

#include "Commands.h"
#include "about/frmAbout.h"

#include "Fonts.h"
#include "barcode/Symbologies.h"
#include "output/PrintCommand.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
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

// A rectangle given in twips, in pixels.
QRect Twips(int left, int top, int width, int height)
{
    const auto px = [](int twips) { return static_cast<int>(std::lround(twips / double(Form1::kTwipsPerPixel))); };
    return QRect(px(left), px(top), px(width), px(height));
}

QFont SansSerif(bool bold = false) { return UiFont(FontFace::MsSansSerif, 11, bold); }
QFont Tahoma(int pixelSize, bool bold) { return UiFont(FontFace::Tahoma, pixelSize, bold); }

// Black ground, white text: the window and everything on it except the push
// buttons, the text field and the surface.
QPalette BlackPalette(const QPalette& base)
{
    QPalette p = base;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, Qt::black);
        p.setColor(group, QPalette::WindowText, Qt::white);
    }
    return p;
}

// The desktop's own colours, whatever the parent's.
void KeepSystemColours(QWidget* widget)
{
    QPalette p = QApplication::palette(widget);
    p.setResolveMask(~QPalette::ResolveMask(0));
    widget->setPalette(p);
}

// Check1(2) for each symbology: tooltip, value, enabled, set in that order.
struct CheckSetting {
    const char* tooltip;
    bool ticked;
    bool enabled;
};
constexpr CheckSetting kCheckForSymbology[4] = {
    {"Optionnel", false, true},     // Code 39
    {"Optionnel", false, true},     // Interleaved 2 of 5
    {"Non optionnel", true, false}, // Code 128: its check character is part of the symbol
    {"Non utilisé", false, false},  // Codabar: none
};

class DesktopServices {
public:
    QtMessageBoxService messageBox;
    QtClipboardService clipboard;
    QtPrintService printer;
};

// The window as the print command sees it.
class Form1PrintHost : public PrintHost {
public:
    explicit Form1PrintHost(Form1& window)
        : window_(window)
    {
    }
    QWidget* dialogParent() override { return &window_; }
    QImage backgroundPicture() const override { return window_.picImage()->backgroundPicture(); }
    void setMousePointer(MousePointer pointer) override
    {
        if (pointer == MousePointer::Default)
            window_.unsetCursor();
        else
            window_.setCursor(Qt::BusyCursor);
    }

private:
    Form1& window_;
};

} // namespace

Form1Command PrintCommand(PrintService& printers)
{
    return [&printers](Form1& window) {
        Form1PrintHost host(window);
        PrintBackgroundPicture(host, printers, *window.services().messageBox);
    };
}

Form1Services Form1Services::desktop()
{
    static DesktopServices real;
    Form1Services s;
    s.messageBox = &real.messageBox;
    s.clipboard = &real.clipboard;
    s.print = PrintCommand(real.printer);
    s.save = SaveCommandFor();
    s.about = [](Form1& window) { ShowAbout(&window); };
    return s;
}

int Form1::SurfaceWidthFor(int outerWidth)
{
    const float twips = static_cast<float>(outerWidth) * kTwipsPerPixel - static_cast<float>(kSurfaceMarginTwips);
    if (!(twips > 0.0f))
        return 1;
    const long pixels = std::lround(twips / kTwipsPerPixel);
    return static_cast<int>(std::clamp<long>(pixels, 1, std::numeric_limits<int>::max()));
}

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::WindowSystemMenuHint)
    , services_(std::move(services))
{
    const Form1Services real = Form1Services::desktop();
    if (!services_.messageBox)
        services_.messageBox = real.messageBox;
    if (!services_.clipboard)
        services_.clipboard = real.clipboard;

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zebrix"));
    setWindowIcon(QIcon(QStringLiteral(":/zebrix/zebrix-32.png")));
    setFont(SansSerif());
    setPalette(BlackPalette(palette()));
    setAutoFillBackground(true);
    resize(Twips(0, 0, 7455, 3675).size()); // client area 497 x 245

    buildControls();
    setTabOrder();
    centreOnScreen();
    Text1->setFocus();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    const auto place = [](QWidget* w, const char* name, QRect geometry) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(geometry);
    };

    Label1_0 = new QLabel(QStringLiteral("Données du code barre : "), this);
    place(Label1_0, "Label1_0", Twips(120, 120, 2175, 255));
    Label1_0->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label1_0->setFont(SansSerif(true));

    Text1 = new LongLineEdit(this);
    place(Text1, "Text1", Twips(2280, 120, 4575, 285));
    QFont textFont = SansSerif(true);
    // Up to ten thousand characters are laid out whole on every keystroke:
    // skip the typographic shaping that plain Latin text does not need
    // (scripts that need it keep it).
    textFont.setStyleStrategy(QFont::PreferNoShaping);
    Text1->setFont(textFont);
    Text1->setMaxLength(std::numeric_limits<int>::max()); // no limit of our own
    KeepSystemColours(Text1);
    Label1_0->setBuddy(Text1);

    Command6 = new QPushButton(QStringLiteral("..."), this);
    place(Command6, "Command6", Twips(6960, 120, 375, 375));
    Command6->setToolTip(QStringLiteral("Coller un lien à partir du presse papier"));
    Command6->setFont(Tahoma(13, true));

    // Symbology.
    Frame1[1] = new QGroupBox(QStringLiteral("Type Code Barre"), this);
    place(Frame1[1], "Frame1_1", Twips(120, 480, 1815, 1455));
    Frame1[1]->setFont(SansSerif(true));

    Picture3 = new QWidget(Frame1[1]);
    place(Picture3, "Picture3", Twips(120, 360, 975, 975));
    static constexpr struct {
        const char* caption;
        const char* tooltip;
        int top, width;
    } kOptions[4] = {
        {"39", "Code 3 of 9", 0, 975},
        {"I 2 of 5", "Interleaved 2 of 5", 240, 975},
        {"128", "Code 128", 480, 975},
        {"Codabar", "Codabar/NW-7", 720, 900},
    };
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(kOptions[i].caption), Picture3);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        b->setGeometry(Twips(0, kOptions[i].top, kOptions[i].width, 255));
        b->setToolTip(QString::fromUtf8(kOptions[i].tooltip));
        b->setFont(SansSerif());
        Option1[static_cast<std::size_t>(i)] = b;
    }
    Option1[0]->setChecked(true);

    // Options.
    Frame1[0] = new QGroupBox(QStringLiteral("Paramètres "), this);
    place(Frame1[0], "Frame1_0", Twips(2040, 480, 2295, 1455));
    Frame1[0]->setFont(SansSerif(true));
    static constexpr struct {
        const char* caption;
        const char* tooltip;
        int top, width;
        bool ticked;
    } kChecks[3] = {
        {"Optimisé pour impression", "Increases spacing", 360, 2055, true},
        {"Ajout du label", "Human readable", 600, 2055, true},
        {"Avec vérification", "Optional", 840, 1935, false},
    };
    for (int i = 0; i < 3; ++i) {
        auto* c = new QCheckBox(QString::fromUtf8(kChecks[i].caption), Frame1[0]);
        c->setObjectName(QStringLiteral("Check1_%1").arg(i));
        c->setGeometry(Twips(120, kChecks[i].top, kChecks[i].width, 195));
        c->setToolTip(QString::fromUtf8(kChecks[i].tooltip));
        c->setFont(SansSerif());
        c->setChecked(kChecks[i].ticked);
        Check1[static_cast<std::size_t>(i)] = c;
    }

    // Commands.
    Frame2 = new QGroupBox(this);
    place(Frame2, "Frame2", Twips(4440, 480, 2895, 1935));

    Command4 = new QPushButton(QStringLiteral("Copier vers presse papier"), Frame2);
    place(Command4, "Command4", Twips(120, 240, 2655, 495));
    Command4->setFont(SansSerif(true));

    Command3 = new QPushButton(QStringLiteral("Enregistrer le Code Barre sous..."), Frame2);
    place(Command3, "Command3", Twips(120, 840, 2655, 495));
    Command3->setFont(Tahoma(11, false));

    Command2 = new QPushButton(QStringLiteral("Imprimer le Code Barre"), Frame2);
    place(Command2, "Command2", Twips(120, 1440, 1935, 375));
    Command2->setFont(Tahoma(11, false));

    Command8 = new QPushButton(QStringLiteral("RàZ"), Frame2);
    place(Command8, "Command8", Twips(2160, 1440, 615, 375));
    Command8->setToolTip(QStringLiteral("Réinitialisation..."));
    Command8->setFont(Tahoma(13, true));

    Command5 = new QPushButton(QStringLiteral("Quitter Zebrix"), this);
    place(Command5, "Command5", Twips(120, 2040, 3495, 375));
    Command5->setFont(Tahoma(11, true));

    Command7 = new QPushButton(this);
    place(Command7, "Command7", Twips(3720, 2040, 615, 375));
    Command7->setToolTip(QStringLiteral("A Propos"));
    Command7->setAccessibleName(QStringLiteral("A Propos"));
    Command7->setIcon(QIcon(QStringLiteral(":/zebrix/about.png")));
    Command7->setIconSize(QSize(15, 21));

    // The stand-in fonts run a little wider than the designed ones: a box
    // whose caption would be cut grows to the right (its container still
    // clips it), never narrower than designed.
    const auto fitCaption = [](QAbstractButton* b) {
        b->resize(std::max(b->width(), b->sizeHint().width()), b->height());
    };
    for (QRadioButton* b : Option1)
        fitCaption(b);
    for (QCheckBox* b : Check1)
        fitCaption(b);

    for (QPushButton* b : {Command2, Command3, Command4, Command5, Command6, Command7, Command8}) {
        KeepSystemColours(b);
        b->setAutoDefault(false);
    }

    picImage_ = new PicImage(this);
    picImage_->setObjectName(QStringLiteral("PicImage"));
    picImage_->move(Twips(120, 2520, 0, 0).topLeft());
    picImage_->setSurfaceWidth(Twips(0, 0, 7215, 0).width());

    // Value changes, not only clicks: a box ticked by the program draws too.
    for (int i = 0; i < 4; ++i)
        connect(Option1[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option1_Click(static_cast<std::int16_t>(i));
        });
    for (int i = 0; i < 3; ++i)
        connect(Check1[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
                [this, i](bool) { Check1_Click(static_cast<std::int16_t>(i)); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
}

void Form1::setTabOrder()
{
    // Only the controls that take the keyboard, in their design order.
    QWidget* const order[] = {Text1,    Option1[0], Option1[1], Option1[2], Option1[3], Check1[0], Check1[1],
                              Check1[2], Command4,  Command2,   Command3,   Command6,   Command7,  Command8,
                              Command5};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::centreOnScreen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    // move() places the frame; its size is known once the window exists.
    const QRect area = s->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void Form1::GenerateBarcode()
{
    const QString text = Text1->text();
    const Options options{Check1[0]->isChecked() ? 1 : 0, Check1[1]->isChecked() ? 1 : 0,
                          Check1[2]->isChecked() ? 1 : 0};
    const std::u16string_view view(reinterpret_cast<const char16_t*>(text.constData()),
                                   static_cast<std::size_t>(text.size()));
    zebrix::GenerateBarcode(picImage_->surface(), static_cast<Symbology>(TypeCode), view, options, picImage_->surfaceWidth());
    picImage_->update();
    if (drawObserver_)
        drawObserver_(TypeCode, picImage_->image());
}

void Form1::Form_Resize()
{
    lastOuterWidth_ = frameGeometry().width();
    picImage_->setSurfaceWidth(SurfaceWidthFor(lastOuterWidth_));
    GenerateBarcode();
}

void Form1::Option1_Click(std::int16_t Index)
{
    if (Index >= 0 && Index < 4) {
        const CheckSetting& s = kCheckForSymbology[Index];
        Check1[2]->setToolTip(QString::fromUtf8(s.tooltip));
        Check1[2]->setChecked(s.ticked); // a change draws at once, still with the old symbology
        Check1[2]->setEnabled(s.enabled);
    }
    TypeCode = Index;
    GenerateBarcode();
}

void Form1::Text1_Change()
{
    GenerateBarcode();
}

void Form1::Check1_Click(std::int16_t /*Index: every encoder reads all three boxes*/)
{
    GenerateBarcode();
}

void Form1::Command2_Click()
{
    if (services_.print)
        services_.print(*this);
}

void Form1::Command3_Click()
{
    if (services_.save)
        services_.save(*this);
}

void Form1::Command4_Click()
{
    services_.clipboard->setImage(picImage_->image());
}

void Form1::Command5_Click()
{
    if (services_.quit)
        services_.quit();
    else
        QCoreApplication::exit(0);
}

void Form1::Command6_Click()
{
    Text1->setLongText(services_.clipboard->text()); // redraws through Text1_Change
}

void Form1::Command7_Click()
{
    if (services_.about)
        services_.about(*this);
}

void Form1::Command8_Click()
{
    Text1->setText(QString()); // redraws through Text1_Change when there was a text
    picImage_->clearBackgroundPicture();
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        centreOnScreen(); // again, now with the frame's size
    }
}

void Form1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The window manager's frame is often known only after the first display;
    // the outer width then changes without a resize of the window itself.
    if (isVisible() && frameGeometry().width() != lastOuterWidth_)
        Form_Resize();
}

} // namespace zebrix
