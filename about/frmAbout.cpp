#include "frmAbout.h"

#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <exception>
#include <vector>

namespace zebrix {

namespace {

// The system-information tool in the registry: its full path, or else the
// folder that holds it.
const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoFolderValue = QStringLiteral("MSINFO");
const QString kSysInfoProgram = QStringLiteral("\\MSINFO32.EXE");

// Query and set value, create and enumerate subkeys, notify, create link, read control.
constexpr std::uint32_t kKeyAccess = 0x2003F;
// Characters read from a value at most.
constexpr std::uint32_t kValueBufferSize = 1024;

// Positions and sizes come in twips, 15 to the pixel.
constexpr int Px(int twips)
{
    return (twips + 7) / 15;
}

QRect Twips(int left, int top, int width, int height)
{
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// "Comic Sans MS", or the nearest installed: Comic Neue is drawn after it.
QFont ComicFont(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"), QStringLiteral("Comic Relief"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// "MS Sans Serif", or the nearest sans-serif installed.
QFont SansFont(int pixels, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// Point sizes at 96 dots per inch.
constexpr int k825pt = 11;
constexpr int k975pt = 13;

void SetTextColour(QWidget* widget, int red, int green, int blue)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(red, green, blue));
    widget->setPalette(palette);
}

QWidget* MakeLine(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour)
{
    auto* line = new QWidget(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

template <typename Label>
Label* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto* label = new Label(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A label that takes the width and height of its text, its top-left corner staying put.
void SizeToText(QLabel* label, const QString& text)
{
    const QPoint topLeft = label->pos();
    label->setWordWrap(false);
    label->setText(text);
    label->adjustSize();
    label->move(topLeft);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                        const QFont& font)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(font);
    button->setAutoDefault(true);
    return button;
}

} // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Zebrix");
}

namespace about {

QString Author()
{
    return QStringLiteral("L'équipe Zebrix");
}

QString AuthorNotice()
{
    return Author() + QStringLiteral(" - décembre 2026");
}

QString ContactEmail()
{
    return QStringLiteral("contact@zebrix.example.org");
}

QString WebSite()
{
    return QStringLiteral("https://zebrix.example.org");
}

QString WebSiteName()
{
    return QStringLiteral("Zebrix");
}

QString DonationPage()
{
    return WebSite() + QStringLiteral("/Don/Don.htm");
}

QString VersionText()
{
    return QStringLiteral("Version ") + QString::number(ZEBRIX_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(ZEBRIX_VERSION_MINOR) + QLatin1Char('.') + QString::number(ZEBRIX_VERSION_PATCH);
}

} // namespace about

AboutServices AboutServices::desktop()
{
    static QtMessageBoxService messages;
    static DesktopRegistry registry;
    static QtShellService shell;
    return {&messages, &registry, &shell};
}

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && onClick)
        onClick();
}

frmAbout::frmAbout(QWidget* owner, const AboutServices& services)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(services)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(382, 217);
    setSizeGripEnabled(false);
    // The program's own icon, as the main window shows it.
    setWindowIcon(owner && !owner->windowIcon().isNull() ? owner->windowIcon()
                                                         : QIcon(QStringLiteral(":/about/zebrix.png")));
    setFont(ComicFont(k825pt, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    Image1 = MakeLabel<QLabel>(this, "Image1", Twips(240, 120, 1680, 840), font());
    Image1->setPixmap(QPixmap(QStringLiteral(":/about/logo.png")));
    Image1->setScaledContents(true);

    lblTitle = MakeLabel<QLabel>(this, "lblTitle", Twips(2400, 120, 2325, 240), ComicFont(k975pt, true));
    SetTextColour(lblTitle, 0, 255, 0);
    lblVersion = MakeLabel<QLabel>(this, "lblVersion", Twips(2400, 480, 2205, 225), ComicFont(k825pt, false));
    SetTextColour(lblVersion, 0, 255, 0);
    lblDescription = MakeLabel<QLabel>(this, "lblDescription", Twips(2400, 840, 3165, 330), ComicFont(k825pt, false));
    lblDescription->setWordWrap(true);
    lblDescription->setText(about::AuthorNotice());
    SetTextColour(lblDescription, 0, 255, 0);

    // The separator under the title block: a white line two pixels wide
    // from (0, 1200) to (5549, 1200) twips, a grey one pixel wide from
    // (0, 1217) to (5564, 1217).
    Line1[0] = MakeLine(this, "Line1_0", QRect(0, Px(1200) - 1, Px(5549), 2), QColor(255, 255, 255));
    Line1[1] = MakeLine(this, "Line1_1", QRect(0, 1217 / 15, Px(5564), 1), QColor(128, 128, 128));

    lblDisclaimer = MakeLabel<ClickLabel>(this, "lblDisclaimer", Twips(720, 1320, 2625, 225), ComicFont(k825pt, false),
                                          Qt::AlignHCenter | Qt::AlignTop);
    SizeToText(lblDisclaimer, QStringLiteral("E-Mail : ") + about::ContactEmail());
    lblDisclaimer->setToolTip(QStringLiteral("Envoyer un courriel"));
    SetTextColour(lblDisclaimer, 192, 255, 255);

    Label3 = MakeLabel<ClickLabel>(this, "Label3", Twips(1080, 1680, 2115, 225), ComicFont(k825pt, false),
                                   Qt::AlignHCenter | Qt::AlignTop);
    SizeToText(Label3, QStringLiteral("URL : ") + about::WebSite());
    Label3->setToolTip(QStringLiteral("Visitez le site officiel ") + about::WebSiteName());
    SetTextColour(Label3, 192, 255, 255);

    Label2 = MakeLabel<QLabel>(this, "Label2", Twips(720, 2040, 2775, 255), ComicFont(k975pt, true),
                               Qt::AlignHCenter | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label2->setText(QStringLiteral("Logiciel FREEWARE"));
    SetTextColour(Label2, 255, 0, 0);

    Image2 = MakeLabel<ClickLabel>(this, "Image2", Twips(1440, 2400, 1500, 660), font());
    Image2->setPixmap(QPixmap(QStringLiteral(":/about/donate.gif")));
    Image2->setToolTip(QStringLiteral("Faire un don avec PayPal - Un solution gratuite, rapide et sécurisée."));

    for (ClickLabel* link : {lblDisclaimer, Label3, Image2})
        link->setCursor(Qt::PointingHandCursor);

    cmdOK = MakeButton(this, "cmdOK", QStringLiteral("OK"), Twips(3960, 1440, 1500, 585), ComicFont(k825pt, true));
    cmdOK->setDefault(true);
    Command1 = MakeButton(this, "Command1", QStringLiteral("Détails..."), Twips(3960, 2160, 1455, 375),
                          ComicFont(k825pt, false));
    cmdSysInfo = MakeButton(this, "cmdSysInfo", QStringLiteral("&Système Info..."), Twips(3960, 2640, 1485, 345),
                            SansFont(k825pt, false));
    cmdSysInfo->setToolTip(QStringLiteral("Informations système"));

    // Keyboard order; the labels keep their places in it but take no focus.
    const std::vector<QWidget*> order = {cmdOK,      cmdSysInfo, lblDescription, lblDisclaimer, lblTitle,
                                         lblVersion, Label2,     Label3,         Command1};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
    Image2->onClick = [this] { Image2_Click(); };
    Label3->onClick = [this] { Label3_Click(); };
    lblDisclaimer->onClick = [this] { lblDisclaimer_Click(); };
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("A propos ") + ApplicationTitle());
    lblVersion->setText(about::VersionText());
    lblTitle->setText(ApplicationTitle());
}

void frmAbout::showEvent(QShowEvent* event)
{
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
        CentreOnOwner();
    }
    QDialog::showEvent(event);
}

void frmAbout::CentreOnOwner()
{
    const QWidget* owner = parentWidget();
    if (owner == nullptr)
        return;
    // Client area over client area: both windows wear the same title bar.
    QRect area(QPoint(0, 0), size());
    area.moveCenter(owner->window()->geometry().center());
    if (const QScreen* screen = owner->screen()) {
        const QRect available = screen->availableGeometry();
        area.moveLeft(std::max(available.left(), std::min(area.left(), available.right() + 1 - area.width())));
        area.moveTop(std::max(available.top(), std::min(area.top(), available.bottom() + 1 - area.height())));
    }
    setGeometry(area);
}

void frmAbout::done(int result)
{
    loaded_ = false; // the next opening loads the dialog afresh
    QDialog::done(result);
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // OK is the cancel button as well: Escape presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::Command1_Click()
{
    const QChar cr(u'\r');
    const QString text = QStringLiteral("Zebrix version 1.0.0") + cr + cr + QStringLiteral("Auteur : ") +
                         about::Author() + cr + QStringLiteral("E-Mail : ") + about::ContactEmail() + cr +
                         QStringLiteral("Url : ") + about::WebSite() + cr + cr + QStringLiteral("Logiciel FREEWARE");
    services_.messages->show(this, text, QStringLiteral("A propos"), MessageIcon::Information, MessageButtons::Ok);
}

void frmAbout::Image2_Click()
{
    services_.shell->openAddress(this, QStringLiteral("Open"), about::DonationPage(), QString(),
                                 QCoreApplication::applicationDirPath());
}

void frmAbout::Label3_Click()
{
    services_.shell->openAddress(this, QStringLiteral("Open"), about::WebSite(), QString(),
                                 QCoreApplication::applicationDirPath());
}

void frmAbout::lblDisclaimer_Click()
{
    services_.shell->openAddress(this, QStringLiteral("Open"), QStringLiteral("mailto:") + about::ContactEmail(),
                                 std::nullopt, std::nullopt);
}

void frmAbout::StartSysInfo()
{
    try {
        QString SysInfoPath;
        bool found = false;
        if (GetKeyValue(kHkeyLocalMachine, kSysInfoKey, kSysInfoValue, SysInfoPath)) {
            found = true; // the full path, used as it stands
        } else if (GetKeyValue(kHkeyLocalMachine, kSysInfoFolderKey, kSysInfoFolderValue, SysInfoPath)) {
            SysInfoPath += kSysInfoProgram;
            found = services_.shell->fileExists(SysInfoPath);
        }
        if (found && services_.shell->startProgram(SysInfoPath))
            return;
    } catch (const std::exception&) {
        // Whatever went wrong, the tool is not there for the user.
    }
    services_.messages->show(this, QStringLiteral("Information Systeme introuvable !"), ApplicationTitle(),
                             MessageIcon::None, MessageButtons::Ok);
}

bool frmAbout::GetKeyValue(RegistryKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    RegistryService& registry = *services_.registry;
    RegistryKey hKey = 0;
    if (registry.openKey(KeyRoot, KeyName, kKeyAccess, &hKey) != kErrorSuccess) {
        KeyVal.clear();
        return false;
    }

    std::array<char, kValueBufferSize> tmpVal{};
    std::uint32_t KeyValSize = kValueBufferSize;
    std::uint32_t KeyValType = 0;
    const long rc = registry.queryValue(hKey, SubKeyRef, &KeyValType, tmpVal.data(), &KeyValSize);
    if (rc != kErrorSuccess || KeyValSize > kValueBufferSize) {
        KeyVal.clear();
        registry.closeKey(hKey);
        return false;
    }

    // Drop the terminating zero of a string: the last byte read, when it is zero.
    qsizetype kept = KeyValSize;
    if (kept > 0 && tmpVal[static_cast<std::size_t>(kept - 1)] == '\0')
        --kept;

    if (KeyValType == kRegSz) {
        KeyVal = QString::fromLocal8Bit(tmpVal.data(), kept);
    } else if (KeyValType == kRegDword) {
        // Little-endian bytes; a zero top byte went with the rule above.
        std::uint32_t value = 0;
        for (qsizetype i = std::min<qsizetype>(kept, 4); i-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(tmpVal[static_cast<std::size_t>(i)]);
        KeyVal = QStringLiteral("&h") + QString::number(value, 16).toUpper();
    }

    registry.closeKey(hKey);
    return true;
}

void ShowAbout(QWidget* owner, const AboutServices& services)
{
    frmAbout dialog(owner, services);
    dialog.exec();
}

} // namespace zebrix
