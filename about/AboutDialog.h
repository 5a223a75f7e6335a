#pragma once
// The about dialog: title, version, author and contact lines, links to the
// web site, its donation page and the contact address, a details message and
// the launcher of the system-information tool.
#include <QDialog>
#include <QLabel>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class QPushButton;

namespace zebrix {

// The application title: the main window's caption and the title of
// message boxes that name none.
QString ApplicationTitle();

// Author and contact details shown by the dialog.
namespace about {
QString Author(); // "L'équipe Zebrix"
QString AuthorNotice(); // the author and the date of the version
QString ContactEmail(); // contact@zebrix.example.org
QString WebSite(); // https://zebrix.example.org
QString WebSiteName(); // Zebrix
QString DonationPage(); // the site's /Don/Don.htm
QString VersionText(); // "Version 1.0.0", from the build's version number
// The system-information programs the dialog's button looks for, in this order.
QStringList SystemInformationPrograms();
} // namespace about

// A label that reports a click of the left mouse button (press and release
// inside it), for the dialog's links; Tab reaches it, Enter or Space clicks
// it, and a dotted frame in its text colour shows its focus.
class ClickLabel : public QLabel {
public:
    explicit ClickLabel(QWidget* parent = nullptr);
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

class AboutDialog : public QDialog {
public:
    // `owner` is the window the dialog is centred on and blocks while shown.
    explicit AboutDialog(QWidget* owner);

    // Runs at every opening, before the dialog is first drawn: caption,
    // title and version.
    void load();

    void showDetails(); // "Détails...": the details message
    void openDonationPage(); // the donation picture
    void openWebSite(); // the web site's address
    void writeToContact(); // the e-mail address

    // Starts the first system-information program of
    // about::SystemInformationPrograms() found on the PATH, without waiting
    // for it; says
    // "Information Systeme introuvable !" when none is there or it does not start.
    void startSystemInformation();

    // The controls; each keeps its designer name as its object name
    // ("Image1", "lblTitle", "lblVersion", "lblDescription", "Line1_0",
    // "Line1_1", "lblDisclaimer", "Label3", "Label2", "Image2", "cmdOK",
    // "Command1", "cmdSysInfo", in this order).
    QLabel* logoPicture;
    QLabel* titleLabel;
    QLabel* versionLabel;
    QLabel* descriptionLabel;
    std::array<QWidget*, 2> separatorLines;
    ClickLabel* emailLink;
    ClickLabel* webSiteLink;
    QLabel* freewareLabel;
    ClickLabel* donationLink;
    QPushButton* okButton;
    QPushButton* detailsButton;
    QPushButton* systemInfoButton;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    void done(int result) override;

private:
    // Over the middle of the owner's window, kept on its screen.
    void centreOnOwner();

    bool loaded_ = false;
};

// Opens the about dialog modally, centred on `owner`, and returns when it
// has been closed. Every opening starts afresh.
void ShowAbout(QWidget* owner);

} // namespace zebrix
