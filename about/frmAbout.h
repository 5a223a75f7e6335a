#pragma once
// The about dialog: title, version, author and contact lines, links to the
// web site, its donation page and the contact address, a details message and
// the launcher of the system-information tool.
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <QDialog>
#include <QLabel>
#include <QString>

#include <array>
#include <functional>

class QPushButton;

namespace zebrix {

// The application title: the main window's caption and the title of
// message boxes that name none.
QString ApplicationTitle();

// Author and contact details shown by the dialog.
namespace about {
QString Author();          // "L'équipe Zebrix"
QString AuthorNotice();    // the author and the date of the version
QString ContactEmail();    // contact@zebrix.example.org
QString WebSite();         // https://zebrix.example.org
QString WebSiteName();     // Zebrix
QString DonationPage();    // the site's /Don/Don.htm
QString VersionText();     // "Version 1.0.0", from the build's version number
} // namespace about

// What the dialog asks of the desktop.
struct AboutServices {
    MessageBoxService* messages = nullptr;
    RegistryService* registry = nullptr;
    ShellService* shell = nullptr;

    // Qt message boxes, the desktop registry and the Qt shell, for the whole run.
    static AboutServices desktop();
};

// A label that reports a click of the left mouse button (press and release
// inside it), for the dialog's links.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

class frmAbout : public QDialog {
public:
    // `owner` is the window the dialog is centred on and blocks while shown.
    frmAbout(QWidget* owner, const AboutServices& services);

    // Runs at every opening, before the dialog is first drawn: caption,
    // title and version.
    void Form_Load();

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();
    void Image2_Click();
    void Label3_Click();
    void lblDisclaimer_Click();

    // Finds the system-information tool through the registry and starts it;
    // says "Information Systeme introuvable !" when that fails in any way.
    void StartSysInfo();
    // Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into
    // `KeyVal` (a string as it stands, a 32-bit number as "&h" and its
    // hexadecimal digits). False, with `KeyVal` emptied, when the key cannot
    // be opened or the value cannot be read.
    bool GetKeyValue(RegistryKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    // The controls, named as in the program's design.
    QLabel* Image1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    std::array<QWidget*, 2> Line1;
    ClickLabel* lblDisclaimer;
    ClickLabel* Label3;
    QLabel* Label2;
    ClickLabel* Image2;
    QPushButton* cmdOK;
    QPushButton* Command1;
    QPushButton* cmdSysInfo;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public:
    void done(int result) override;

private:
    // Over the middle of the owner's window, kept on its screen.
    void CentreOnOwner();

    AboutServices services_;
    bool loaded_ = false;
};

// Opens the about dialog modally, centred on `owner`, and returns when it
// has been closed. Every opening starts afresh.
void ShowAbout(QWidget* owner, const AboutServices& services = AboutServices::desktop());

} // namespace zebrix
