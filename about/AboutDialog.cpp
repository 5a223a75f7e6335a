#include "AboutDialog.h"

#include "platform/Look.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace zebrix {

namespace {

// Positions and sizes come in twips.
constexpr auto Px = TwipsToPixels;
constexpr auto Twips = TwipsRect;

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

QFont SansFont(int pixels, bool bold) { return UiFont(FontFace::MsSansSerif, pixels, bold); }

constexpr int k825pt = kPixels8_25pt;
constexpr int k975pt = kPixels9_75pt;

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

QPushButton* MakeButton(
    QWidget* parent, const char* name, const QString& caption, const QRect& geometry, const QFont& font)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(font);
    button->setAutoDefault(true);
    return button;
}

} // namespace

QString ApplicationTitle() { return ProgramTitle(); }

namespace about {

QString Author() { return QStringLiteral("L'équipe Zebrix"); }

QString AuthorNotice() { return Author() + QStringLiteral(" - décembre 2026"); }

QString ContactEmail() { return QStringLiteral("contact@zebrix.example.org"); }

QString WebSite() { return QStringLiteral("https://zebrix.example.org"); }

QString WebSiteName() { return QStringLiteral("Zebrix"); }

QString DonationPage() { return WebSite() + QStringLiteral("/Don/Don.htm"); }

QString VersionText()
{
    return QStringLiteral("Version ") + QString::number(ZEBRIX_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(ZEBRIX_VERSION_MINOR) + QLatin1Char('.') + QString::number(ZEBRIX_VERSION_PATCH);
}

QStringList SystemInformationPrograms()
{
    // A real system-information tool first, then the desktops' own viewers.
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager")};
}

} // namespace about

ClickLabel::ClickLabel(QWidget* parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::TabFocus); // a click opens it at once: no focus to show
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
        || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (onClick && !event->isAutoRepeat())
        onClick();
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
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

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(382, 217);
    setSizeGripEnabled(false);
    // The program's own icon, as the main window shows it.
    setWindowIcon(
        owner && !owner->windowIcon().isNull() ? owner->windowIcon() : QIcon(QStringLiteral(":/about/zebrix.png")));
    setFont(ComicFont(k825pt, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    logoPicture = MakeLabel<QLabel>(this, "Image1", Twips(240, 120, 1680, 840), font());
    logoPicture->setPixmap(QPixmap(QStringLiteral(":/about/logo.png")));
    logoPicture->setScaledContents(true);

    titleLabel = MakeLabel<QLabel>(this, "lblTitle", Twips(2400, 120, 2325, 240), ComicFont(k975pt, true));
    SetTextColour(titleLabel, 0, 255, 0);
    versionLabel = MakeLabel<QLabel>(this, "lblVersion", Twips(2400, 480, 2205, 225), ComicFont(k825pt, false));
    SetTextColour(versionLabel, 0, 255, 0);
    descriptionLabel = MakeLabel<QLabel>(this, "lblDescription", Twips(2400, 840, 3165, 330), ComicFont(k825pt, false));
    descriptionLabel->setWordWrap(true);
    descriptionLabel->setText(about::AuthorNotice());
    SetTextColour(descriptionLabel, 0, 255, 0);

    // The separator under the title block: a white line two pixels wide
    // from (0, 1200) to (5549, 1200) twips, a grey one pixel wide from
    // (0, 1217) to (5564, 1217).
    separatorLines[0] = MakeLine(this, "Line1_0", QRect(0, Px(1200) - 1, Px(5549), 2), QColor(255, 255, 255));
    separatorLines[1] = MakeLine(this, "Line1_1", QRect(0, 1217 / kTwipsPerPixel, Px(5564), 1), QColor(128, 128, 128));

    emailLink = MakeLabel<ClickLabel>(
        this, "lblDisclaimer", Twips(720, 1320, 2625, 225), ComicFont(k825pt, false), Qt::AlignHCenter | Qt::AlignTop);
    SizeToText(emailLink, QStringLiteral("E-Mail : ") + about::ContactEmail());
    emailLink->setToolTip(QStringLiteral("Envoyer un courriel"));
    SetTextColour(emailLink, 192, 255, 255);

    webSiteLink = MakeLabel<ClickLabel>(
        this, "Label3", Twips(1080, 1680, 2115, 225), ComicFont(k825pt, false), Qt::AlignHCenter | Qt::AlignTop);
    SizeToText(webSiteLink, QStringLiteral("URL : ") + about::WebSite());
    webSiteLink->setToolTip(QStringLiteral("Visitez le site officiel ") + about::WebSiteName());
    SetTextColour(webSiteLink, 192, 255, 255);

    freewareLabel = MakeLabel<QLabel>(
        this, "Label2", Twips(720, 2040, 2775, 255), ComicFont(k975pt, true), Qt::AlignHCenter | Qt::AlignTop);
    freewareLabel->setWordWrap(true);
    freewareLabel->setText(QStringLiteral("Logiciel FREEWARE"));
    SetTextColour(freewareLabel, 255, 0, 0);

    donationLink = MakeLabel<ClickLabel>(this, "Image2", Twips(1440, 2400, 1500, 660), font());
    donationLink->setPixmap(QPixmap(QStringLiteral(":/about/donate.gif")));
    donationLink->setToolTip(QStringLiteral("Faire un don avec PayPal - Un solution gratuite, rapide et sécurisée."));
    SetTextColour(donationLink, 192, 255, 255); // its focus frame, like the other links'

    for (ClickLabel* link : {emailLink, webSiteLink, donationLink})
        link->setCursor(Qt::PointingHandCursor);

    okButton = MakeButton(this, "cmdOK", QStringLiteral("OK"), Twips(3960, 1440, 1500, 585), ComicFont(k825pt, true));
    okButton->setDefault(true);
    detailsButton = MakeButton(
        this, "Command1", QStringLiteral("Détails..."), Twips(3960, 2160, 1455, 375), ComicFont(k825pt, false));
    systemInfoButton = MakeButton(
        this, "cmdSysInfo", QStringLiteral("&Système Info..."), Twips(3960, 2640, 1485, 345), SansFont(k825pt, false));
    systemInfoButton->setToolTip(QStringLiteral("Informations système"));

    // Keyboard order; the labels keep their places in it, and only the links among them take the focus.
    const std::vector<QWidget*> order = {okButton, systemInfoButton, descriptionLabel, emailLink, titleLabel,
        versionLabel, freewareLabel, webSiteLink, detailsButton, donationLink};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    okButton->setFocus();

    connect(okButton, &QPushButton::clicked, this, [this] { accept(); });
    connect(detailsButton, &QPushButton::clicked, this, [this] { showDetails(); });
    connect(systemInfoButton, &QPushButton::clicked, this, [this] { startSystemInformation(); });
    donationLink->onClick = [this] { openDonationPage(); };
    webSiteLink->onClick = [this] { openWebSite(); };
    emailLink->onClick = [this] { writeToContact(); };
}

void AboutDialog::load()
{
    setWindowTitle(QStringLiteral("A propos ") + ApplicationTitle());
    versionLabel->setText(about::VersionText());
    titleLabel->setText(ApplicationTitle());
}

void AboutDialog::showEvent(QShowEvent* event)
{
    if (!loaded_) {
        loaded_ = true;
        load();
        centreOnOwner();
    }
    QDialog::showEvent(event);
}

void AboutDialog::centreOnOwner()
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

void AboutDialog::done(int result)
{
    loaded_ = false; // the next opening loads the dialog afresh
    QDialog::done(result);
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // OK is the cancel button as well: Escape presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutDialog::showDetails()
{
    const QChar cr(u'\r');
    const QString text = QStringLiteral("Zebrix version 1.0.0") + cr + cr + QStringLiteral("Auteur : ")
        + about::Author() + cr + QStringLiteral("E-Mail : ") + about::ContactEmail() + cr + QStringLiteral("Url : ")
        + about::WebSite() + cr + cr + QStringLiteral("Logiciel FREEWARE");
    ShowMessage(this, text, QStringLiteral("A propos"), QMessageBox::Information);
}

// Web and mail addresses are opened by the desktop's handler, in its own process.
void AboutDialog::openDonationPage() { QDesktopServices::openUrl(QUrl(about::DonationPage(), QUrl::StrictMode)); }

void AboutDialog::openWebSite() { QDesktopServices::openUrl(QUrl(about::WebSite(), QUrl::StrictMode)); }

void AboutDialog::writeToContact()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + about::ContactEmail(), QUrl::StrictMode));
}

void AboutDialog::startSystemInformation()
{
    for (const QString& name : about::SystemInformationPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, QStringList()))
            return;
        break; // found but it would not start: the user has no tool either
    }
    ShowMessage(this, QStringLiteral("Information Systeme introuvable !"), ApplicationTitle(), QMessageBox::NoIcon);
}

void ShowAbout(QWidget* owner)
{
    AboutDialog dialog(owner);
    dialog.exec();
}

} // namespace zebrix
