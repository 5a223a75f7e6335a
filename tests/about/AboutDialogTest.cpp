// The about dialog as a user works it: its message boxes, its links, the system-information program started.
#include "about/AboutDialog.h"
#include "support/Modal.h"

#include <QtTest/QTest>

using namespace zebrix;

namespace {

// Shown as the user gets it, the focus on its first button; its message boxes answered.
struct Dialog {
    test::Dialogs boxes;
    AboutDialog dialog{nullptr};
    Dialog() { show(); }
    void show() { dialog.show(), QApplication::setActiveWindow(&dialog), (void)QTest::qWaitForWindowActive(&dialog); }
};

class UrlCatcher : public QObject { // takes the addresses given to the desktop: nothing is contacted
    Q_OBJECT
public:
    QList<QUrl> urls;
    Q_INVOKABLE void open(const QUrl& url) { urls.append(url); }
};

QString Captions(const AboutDialog& d)
{
    return d.windowTitle() + "|" + d.titleLabel->text() + "|" + d.versionLabel->text() + "|" + d.emailLink->text() + "|"
        + d.webSiteLink->text() + "|" + d.webSiteLink->toolTip() + "|" + d.descriptionLabel->text() + "|"
        + d.systemInfoButton->toolTip();
}

} // namespace

// ShowAbout opens the dialog modal, centred on its owner, its controls where they were designed.
TEST(AboutDialogTest, OpensCentredOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245), owner.show();
    test::OnModal<QDialog>([&](QDialog* shown) {
        EXPECT_EQ(shown->parentWidget(), &owner);
        EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
        EXPECT_LE((shown->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
        for (const auto& [name, place] :
            {std::pair{"Image1", QRect(16, 8, 112, 56)}, {"cmdOK", QRect(264, 96, 100, 39)},
                {"Command1", QRect(264, 144, 97, 25)}, {"cmdSysInfo", QRect(264, 176, 99, 23)}})
            EXPECT_EQ(shown->findChild<QWidget*>(name)->geometry(), place) << name;
        shown->close();
    });
    ShowAbout(&owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Every opening sets the captions again. Enter and Escape close the dialog through OK; Escape whichever
// button has the focus. The details box's lines are broken at carriage returns, its text shown as typed.
TEST(AboutDialogTest, EveryOpeningSetsTheCaptionsAndKeysCloseIt)
{
    Dialog d;
    for (const auto& [key, onDetails] :
        {std::pair{Qt::Key_Return, false}, {Qt::Key_Enter, false}, {Qt::Key_Escape, false}, {Qt::Key_Escape, true}}) {
        EXPECT_EQ(Captions(d.dialog),
            "A propos Zebrix|Zebrix|Version 1.0.0|E-Mail : contact@zebrix.example.org|URL : "
            "https://zebrix.example.org|Visitez le site officiel Zebrix|L'équipe Zebrix - décembre 2026|"
            "Informations système");
        ASSERT_EQ(QApplication::focusWidget(), d.dialog.okButton);
        if (onDetails)
            d.dialog.detailsButton->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(d.dialog.isVisible()) << key;
        EXPECT_EQ(d.dialog.result(), QDialog::Accepted) << key;
        d.dialog.titleLabel->setText("x"), d.dialog.versionLabel->setText("x"), d.show();
    }
    Qt::TextFormat format = Qt::RichText;
    d.boxes.seen = [&](QWidget* w) { format = static_cast<QMessageBox*>(w)->textFormat(); };
    d.dialog.detailsButton->click();
    EXPECT_EQ(d.boxes.shown,
        QStringList("A propos|1|Zebrix version 1.0.0\n\nAuteur : L'équipe Zebrix\nE-Mail : "
                    "contact@zebrix.example.org\nUrl : https://zebrix.example.org\n\nLogiciel FREEWARE"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(d.dialog.isVisible());
}

// A left click opens the link's address with the desktop's handler; a press that leaves the label before
// its release, or a right click, opens nothing. Tab reaches the links, showing where it is, and Enter or Space
// opens them.
TEST(AboutDialogTest, LinksOpenTheirAddressesThroughTheDesktop)
{
    Dialog d;
    UrlCatcher catcher;
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    const std::tuple<QLabel*, QString, Qt::Key> rows[]
        = {{d.dialog.emailLink, "mailto:contact@zebrix.example.org", Qt::Key_Return},
            {d.dialog.webSiteLink, "https://zebrix.example.org", Qt::Key_Space},
            {d.dialog.donationLink, "https://zebrix.example.org/Don/Don.htm", Qt::Key_Enter}};
    for (const auto& [link, address, key] : rows) {
        catcher.urls.clear();
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::LeftButton);
        const QImage unfocused = link->grab().toImage();
        for (int i = 0; i < 6 && QApplication::focusWidget() != link; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(link->grab().toImage(), unfocused);
        QTest::keyClick(link, key);
        EXPECT_EQ(catcher.urls, QList<QUrl>(2, QUrl(address))) << address.toStdString();
    }
    QDesktopServices::unsetUrlHandler("https"), QDesktopServices::unsetUrlHandler("mailto");
}

// Alt+S starts the first program of the list found on the PATH, itself (no shell), without arguments and
// without waiting for it; with none, or one that does not start, it says so; the dialog stays open.
TEST(AboutDialogTest, TheSystemInformationButtonStartsTheFirstProgramFound)
{
    // Installed: "+" a program, "=" a plain file, "/" a folder, "!" an executable that is no program.
    const std::tuple<const char*, QStringList, QString> rows[] = {{"nothing installed", {}, {}},
        {"the list's order", {"+gnome-system-monitor", "+kinfocenter", "+hardinfo"}, "hardinfo"},
        {"not programs", {"=hardinfo", "/kinfocenter", "+gnome-system-monitor"}, "gnome-system-monitor"},
        {"does not start: no other tried", {"!kinfocenter", "+gnome-system-monitor"}, {}}};
    const char* program = "#!/bin/sh\n/bin/sleep 1; echo ${0##*/} $# >\"$0.x\"; /bin/mv \"$0.x\" \"${0%/*}/ran\"\n";
    const QByteArray path = qgetenv("PATH");
    for (const auto& [what, installed, started] : rows) {
        SCOPED_TRACE(what);
        QTemporaryDir dir(QDir::tempPath() + "/outil système $HOME; x-XXXXXX"); // a shell would split it
        for (const QString& entry : installed) {
            QFile f(dir.filePath(entry.mid(1)));
            ASSERT_TRUE(entry[0] == '/' ? QDir(dir.path()).mkdir(entry.mid(1)) : f.open(QIODevice::WriteOnly));
            f.write(entry[0] == '+' ? program : "text");
            f.setPermissions(f.permissions() | (entry[0] == '=' ? QFileDevice::ReadOwner : QFileDevice::ExeOwner));
        }
        qputenv("PATH", QFile::encodeName(dir.path()));
        Dialog d;
        QTest::keyClick(d.dialog.windowHandle(), Qt::Key_S, Qt::AltModifier), QTest::qWait(300); // animated click
        qputenv("PATH", path);
        EXPECT_EQ(d.boxes.shown,
            started.isEmpty() ? QStringList("Zebrix|0|Information Systeme introuvable !") : QStringList());
        EXPECT_FALSE(QFile::exists(dir.filePath("ran"))); // it takes a second: we did not wait for it
        EXPECT_TRUE(started.isEmpty() || QTest::qWaitFor([&] { return QFile::exists(dir.filePath("ran")); }, 10000));
        EXPECT_EQ(test::ReadAll(dir.filePath("ran")), started.isEmpty() ? "" : started + " 0\n"); // no arguments
        EXPECT_TRUE(d.dialog.isVisible());
    }
}

#include "AboutDialogTest.moc"
