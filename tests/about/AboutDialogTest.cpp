// The about dialog as a user sees and works it, on Qt's offscreen platform:
// its message boxes, the links opened by the desktop's handler, and the
// system-information program found on the PATH.
#include "about/AboutDialog.h"
#include "support/Modal.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

using namespace zebrix;

namespace {

struct Dialog {
    test::Dialogs boxes;
    AboutDialog dialog{nullptr};
    Dialog() // shown as the user gets it, the focus on its first button
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
};

// Takes the addresses given to the desktop's handler: nothing real is contacted.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher()
    {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

void ExpectCaptions(const AboutDialog& d)
{
    EXPECT_EQ(d.windowTitle() + "|" + d.titleLabel->text() + "|" + d.versionLabel->text() + "|" + d.emailLink->text()
            + "|" + d.webSiteLink->text() + "|" + d.webSiteLink->toolTip() + "|" + d.descriptionLabel->text(),
        "A propos Zebrix|Zebrix|Version 1.0.0|E-Mail : contact@zebrix.example.org|URL : https://zebrix.example.org"
        "|Visitez le site officiel Zebrix|L'équipe Zebrix - décembre 2026");
}

} // namespace

// Each opening sets the captions again; ShowAbout opens the dialog centred on
// its owner, and its close box closes it.
TEST(AboutDialogTest, EveryOpeningSetsTheCaptionsCentredOnItsOwner)
{
    Dialog d;
    d.boxes.timer.stop(); // the dialog opened is closed below
    for (QLabel* label : {d.dialog.titleLabel, d.dialog.versionLabel})
        label->setText(QStringLiteral("x"));
    d.dialog.okButton->click();
    EXPECT_FALSE(d.dialog.isVisible());
    d.dialog.show();
    ExpectCaptions(d.dialog);
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245);
    owner.show();
    test::OnModal<QDialog>([&](QDialog* shown) {
        ExpectCaptions(*static_cast<AboutDialog*>(shown));
        EXPECT_EQ(shown->parentWidget(), &owner);
        EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
        EXPECT_LE((shown->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
        shown->close();
    });
    ShowAbout(&owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Enter and Escape close the dialog through OK; Escape whichever button has the focus.
TEST(AboutDialogTest, EnterAndEscapeBothClose)
{
    for (const auto& [key, onDetails] :
        {std::pair{Qt::Key_Return, false}, {Qt::Key_Enter, false}, {Qt::Key_Escape, false}, {Qt::Key_Escape, true}}) {
        Dialog d;
        ASSERT_EQ(QApplication::focusWidget(), d.dialog.okButton);
        if (onDetails)
            d.dialog.detailsButton->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(d.dialog.isVisible()) << key;
        EXPECT_EQ(d.dialog.result(), QDialog::Accepted) << key;
        EXPECT_EQ(d.boxes.shown, QStringList()) << key;
    }
}

// The details: carriage returns break the lines, and the text is shown as typed, not as markup.
TEST(AboutDialogTest, TheDetailsAreSevenLinesSeparatedByCarriageReturns)
{
    Dialog d;
    Qt::TextFormat format = Qt::RichText;
    d.boxes.seen = [&](QWidget* w) { format = static_cast<QMessageBox*>(w)->textFormat(); };
    d.dialog.detailsButton->click();
    EXPECT_EQ(d.boxes.shown,
        QStringList("A propos|" + QString::number(QMessageBox::Information)
            + "|Zebrix version 1.0.0\n\nAuteur : " + about::Author()
            + "\nE-Mail : contact@zebrix.example.org\nUrl : https://zebrix.example.org\n\nLogiciel FREEWARE"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(d.dialog.isVisible());
}

// A left click opens the link's address with the desktop's handler; a press
// that leaves the label before its release, or a right click, opens nothing.
TEST(AboutDialogTest, LinksOpenTheirAddressesThroughTheDesktop)
{
    Dialog d;
    UrlCatcher catcher;
    const std::pair<QLabel*, QString> rows[] = {{d.dialog.donationLink, "https://zebrix.example.org/Don/Don.htm"},
        {d.dialog.webSiteLink, "https://zebrix.example.org"},
        {d.dialog.emailLink, "mailto:contact@zebrix.example.org"}};
    for (const auto& [link, address] : rows) {
        catcher.urls.clear();
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(address)}) << address.toStdString();
    }
}

// Alt+S starts the first program of the list found on the PATH, itself (no shell), without arguments
// and without waiting for it; with none, or one that does not start, it says so; the dialog stays open.
TEST(AboutDialogTest, TheSystemInformationButtonStartsTheFirstProgramFound)
{
    enum Kind { Program, PlainFile, Folder, Broken };
    const std::tuple<const char*, std::vector<std::pair<QString, Kind>>, QString> rows[]
        = {{"nothing installed", {}, {}}, {"the only one", {{"gnome-system-monitor", Program}}, "gnome-system-monitor"},
            {"the list's order", {{"gnome-system-monitor", Program}, {"kinfocenter", Program}, {"hardinfo", Program}},
                "hardinfo"},
            {"not programs", {{"hardinfo", PlainFile}, {"kinfocenter", Folder}, {"gnome-system-monitor", Program}},
                "gnome-system-monitor"},
            {"does not start: no other tried", {{"kinfocenter", Broken}, {"gnome-system-monitor", Program}}, {}}};
    const QString path = qEnvironmentVariable("PATH");
    for (const auto& [what, installed, started] : rows) {
        SCOPED_TRACE(what);
        QTemporaryDir dir(QDir::tempPath() + "/outil système $HOME; x-XXXXXX"); // a shell would split it
        for (const auto& [name, kind] : installed) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(kind == Folder ? QDir(dir.path()).mkdir(name) : f.open(QIODevice::WriteOnly));
            f.write(kind == Program
                    ? "#!/bin/sh\n/bin/sleep 1\necho \"$#\" > \"$0.part\" && /bin/mv \"$0.part\" \"$0.ran\"\n"
                    : "text");
            f.setPermissions(f.permissions() | (kind == PlainFile ? QFileDevice::ReadOwner : QFileDevice::ExeOwner));
        }
        qputenv("PATH", QFile::encodeName(dir.path()));
        Dialog d;
        QTest::keyClick(d.dialog.windowHandle(), Qt::Key_S, Qt::AltModifier); // an animated click
        QTest::qWait(300);
        qputenv("PATH", QFile::encodeName(path));
        EXPECT_EQ(d.boxes.shown,
            started.isEmpty() ? QStringList("Zebrix|0|Information Systeme introuvable !") : QStringList());
        EXPECT_EQ(QDir(dir.path()).entryList({"*.ran"}), QStringList()); // it takes a second: we did not wait for it
        const QString ran = dir.filePath(started + ".ran");
        EXPECT_TRUE(started.isEmpty() || QTest::qWaitFor([&] { return QFile::exists(ran); }, 10000));
        EXPECT_EQ(
            QDir(dir.path()).entryList({"*.ran"}), started.isEmpty() ? QStringList() : QStringList(started + ".ran"));
        EXPECT_EQ(started.isEmpty() ? "0\n" : test::ReadAll(ran), "0\n"); // run without arguments
        EXPECT_TRUE(d.dialog.isVisible());
    }
}

#include "AboutDialogTest.moc"
