// The about dialog as a user sees and works it, on Qt's offscreen platform,
// and the desktop seams it goes through: the shell starting programs and
// opening addresses, the message box.
#include "about/AboutDialog.h"
#include "support/FakeMessageBox.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

struct Dialog {
    test::FakeMessageBox messages;
    test::FakeShell shell{QStringList{QStringLiteral("/nonexistent")}};
    AboutDialog dialog{nullptr, {&messages, &shell}};
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

// Each opening sets the captions again; ShowAbout opens the dialog centred on
// its owner, and its close box closes it.
TEST(AboutDialogTest, EveryOpeningSetsTheCaptionsCentredOnItsOwner)
{
    Dialog d;
    for (QLabel* label : {d.dialog.titleLabel, d.dialog.versionLabel})
        label->setText(QStringLiteral("x"));
    d.dialog.okButton->click();
    EXPECT_FALSE(d.dialog.isVisible());
    d.dialog.show();
    ExpectCaptions(d.dialog);
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245);
    owner.show();
    QTimer::singleShot(10000, &owner, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    QTimer::singleShot(0, [&] {
        auto* shown = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        ExpectCaptions(*shown);
        EXPECT_TRUE(shown->parentWidget() == &owner && shown->windowModality() == Qt::ApplicationModal);
        EXPECT_LE((shown->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
        shown->close();
    });
    ShowAbout(&owner, {&d.messages, &d.shell});
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
        EXPECT_TRUE(!d.dialog.isVisible() && d.dialog.result() == QDialog::Accepted && d.messages.shown.empty()) << key;
    }
}

// The details, in the real message box: a carriage return alone breaks the
// line, and the text is shown as typed, not as markup.
TEST(AboutDialogTest, TheDetailsAreSevenLinesSeparatedByCarriageReturns)
{
    Dialog d;
    d.dialog.detailsButton->click();
    ASSERT_EQ(d.messages.shown.size(), 1u);
    const auto& m = d.messages.shown[0];
    EXPECT_TRUE(m.title == "A propos" && m.icon == MessageIcon::Information && m.buttons == MessageButtons::Ok);
    EXPECT_EQ(m.text,
        "Zebrix version 1.0.0\r\rAuteur : " + about::Author()
            + "\rE-Mail : contact@zebrix.example.org\rUrl : https://zebrix.example.org\r\rLogiciel FREEWARE");
    EXPECT_TRUE(d.dialog.isVisible());
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_TRUE(box->windowTitle() == "A propos" && box->icon() == QMessageBox::Information);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    const QString text = m.text + "\r<b>x</b>";
    EXPECT_EQ(QtMessageBoxService().show(nullptr, text, m.title, m.icon, m.buttons), MessageAnswer::Ok);
    EXPECT_EQ(shown, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

// A left click opens the link's address with the desktop's handler; a press
// that leaves the label before its release, or a right click, opens nothing;
// the shell opens nothing for another verb or a malformed address.
TEST(AboutDialogTest, LinksOpenTheirAddressesThroughTheShell)
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
    catcher.urls.clear();
    d.shell.openAddress(nullptr, "Print", "https://zebrix.example.org", QString(), QString());
    d.shell.openAddress(nullptr, "Open", "not an address", QString(), QString());
    EXPECT_TRUE(catcher.urls.empty());
}

// Alt+S starts the first program of the list found on the PATH; with none, or
// one that does not start, it says so; the dialog stays open.
TEST(AboutDialogTest, TheSystemInformationButtonStartsTheFirstProgramFound)
{
    enum Kind { Program, PlainFile, Folder };
    const std::tuple<const char*, std::vector<std::pair<QString, Kind>>, bool, QString> rows[]
        = {{"nothing installed", {}, true, {}},
            {"the only one", {{"gnome-system-monitor", Program}}, true, "gnome-system-monitor"},
            {"the list's order", {{"gnome-system-monitor", Program}, {"kinfocenter", Program}, {"hardinfo", Program}},
                true, "hardinfo"},
            {"not programs", {{"hardinfo", PlainFile}, {"kinfocenter", Folder}, {"gnome-system-monitor", Program}},
                true, "gnome-system-monitor"},
            {"does not start: no other tried", {{"kinfocenter", Program}, {"gnome-system-monitor", Program}}, false,
                "kinfocenter"}};
    for (const auto& [what, installed, starts, started] : rows) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        for (const auto& [name, kind] : installed) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(kind == Folder ? QDir(dir.path()).mkdir(name) : f.open(QIODevice::WriteOnly));
            if (kind == Program)
                f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        }
        Dialog d;
        d.shell = test::FakeShell(QStringList{dir.path()});
        d.shell.startSucceeds = starts;
        QTest::keyClick(d.dialog.windowHandle(), Qt::Key_S, Qt::AltModifier); // an animated click
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d.shell.started.empty() || !d.messages.shown.empty(); }));
        EXPECT_EQ(d.shell.started, started.isEmpty() ? std::vector<QString>{} : std::vector{dir.filePath(started)});
        const bool says = started.isEmpty() || !starts;
        ASSERT_EQ(d.messages.shown.size(), says ? 1u : 0u);
        EXPECT_TRUE(!says || d.messages.shown[0].text == "Information Systeme introuvable !");
        EXPECT_TRUE(d.dialog.isVisible());
    }
}

// The real shell starts a program as its name stands (a shell would split and
// expand this one), without arguments and without waiting for it; what is not
// a program is not started.
TEST(QtShell, StartsTheProgramItselfWithoutWaiting)
{
    QTemporaryDir dir;
    const QString done = dir.filePath(QStringLiteral("done"));
    const std::tuple<QString, QByteArray, bool> rows[] = {// the path, what it holds (if anything), whether it starts
        {dir.filePath(QStringLiteral("outil système $HOME; x")),
            QStringLiteral("#!/bin/sh\nsleep 1\necho \"$#\" > '%1.part' && mv '%1.part' '%1'\n").arg(done).toUtf8(),
            true},
        {dir.filePath(QStringLiteral("missing")), {}, false}, {QString(), {}, false},
        {dir.filePath(QStringLiteral("plain")), "text, not executable", false}};
    QtShellService shell;
    for (const auto& [path, body, starts] : rows) {
        QFile f(path);
        if (!body.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(body) && starts)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        f.close();
        EXPECT_EQ(shell.startProgram(path), starts) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(done)); // it takes a second: we did not wait for it
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(done); }, 10000)) << "the program did not run";
    QFile result(done);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << "the program did not run";
    EXPECT_EQ(result.readAll().trimmed(), QByteArray("0"));
}

} // namespace

#include "AboutDialogTest.moc"
