// The about dialog as a user sees and works it, on Qt's offscreen platform:
// captions, keys, links, the details message, the system-information button.
#include "about/AboutDialog.h"
#include "support/FakeMessageBox.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace zebrix;
using zebrix::test::FakeMessageBox;
using zebrix::test::FakeShell;

namespace {

class AboutDialogTest : public ::testing::Test {
protected:
    // Shows the dialog as the user gets it, focus on its first button.
    void Open(AboutDialog& dialog)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Runs ShowAbout; `inside` runs while the dialog is open and must close it.
    void RunShowAbout(QWidget* owner, const std::function<void(AboutDialog&)>& inside)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ran = true;
            inside(*dialog);
        });
        QTimer guard; // should the dialog stay open after a failure, close it rather than hang
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        guard.start(10000);
        ShowAbout(owner, {&messages, &shell});
        EXPECT_TRUE(ran);
        EXPECT_TRUE(guard.isActive()) << "the dialog had to be closed by force";
    }

    FakeMessageBox messages;
    FakeShell shell{QStringList{QStringLiteral("/nonexistent")}};
};

void ExpectCaptions(const AboutDialog& dialog)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("A propos Zebrix"));
    EXPECT_EQ(dialog.titleLabel->text(), QStringLiteral("Zebrix"));
    EXPECT_EQ(dialog.versionLabel->text(), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(dialog.emailLink->text(), QStringLiteral("E-Mail : contact@zebrix.example.org"));
    EXPECT_EQ(dialog.webSiteLink->text(), QStringLiteral("URL : https://zebrix.example.org"));
    EXPECT_EQ(dialog.webSiteLink->toolTip(), QStringLiteral("Visitez le site officiel Zebrix"));
}

TEST_F(AboutDialogTest, EveryOpeningSetsTheCaptionsAgain)
{
    AboutDialog dialog(nullptr, {&messages, &shell});
    Open(dialog);
    ExpectCaptions(dialog);
    for (QLabel* label : {dialog.titleLabel, dialog.versionLabel})
        label->setText(QStringLiteral("x"));
    dialog.setWindowTitle(QStringLiteral("x"));
    dialog.okButton->click();
    EXPECT_FALSE(dialog.isVisible());
    Open(dialog);
    ExpectCaptions(dialog);
    QWidget owner; // ShowAbout makes a new dialog each time: nothing carries over
    for (int i = 0; i < 2; ++i)
        RunShowAbout(&owner, [](AboutDialog& d) {
            ExpectCaptions(d);
            d.titleLabel->setText(QStringLiteral("x"));
            d.okButton->click();
        });
}

// Enter and Escape close the dialog through OK, whichever button has the focus.
TEST_F(AboutDialogTest, EnterAndEscapeBothClose)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        for (const bool onDetails : {false, true}) {
            if (onDetails && key != Qt::Key_Escape)
                continue; // Enter presses the focused button
            AboutDialog dialog(nullptr, {&messages, &shell});
            Open(dialog);
            ASSERT_EQ(QApplication::focusWidget(), dialog.okButton);
            if (onDetails)
                dialog.detailsButton->setFocus();
            QTest::keyClick(QApplication::focusWidget(), key);
            EXPECT_FALSE(dialog.isVisible()) << key;
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << key;
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AboutDialogTest, TheDetailsAreSevenLinesSeparatedByCarriageReturns)
{
    AboutDialog dialog(nullptr, {&messages, &shell});
    Open(dialog);
    dialog.detailsButton->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    const auto& m = messages.shown[0];
    EXPECT_EQ(m.title, QStringLiteral("A propos"));
    EXPECT_EQ(m.icon, MessageIcon::Information);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_EQ(m.text, QStringLiteral("Zebrix version 1.0.0\r\rAuteur : ") + about::Author() +
                          QStringLiteral("\rE-Mail : contact@zebrix.example.org\rUrl : https://zebrix.example.org"
                                         "\r\rLogiciel FREEWARE"));
    EXPECT_TRUE(dialog.isVisible());
}

// A left click opens the link's address through the shell; a press that
// leaves the label before its release, or a right click, opens nothing.
TEST_F(AboutDialogTest, LinksOpenTheirAddressesThroughTheShell)
{
    AboutDialog dialog(nullptr, {&messages, &shell});
    Open(dialog);
    const QString folder = QCoreApplication::applicationDirPath();
    const struct {
        QLabel* link;
        const char* address;
        std::optional<QString> parameters, workingFolder;
    } rows[] = {
        {dialog.donationLink, "https://zebrix.example.org/Don/Don.htm", QString(), folder},
        {dialog.webSiteLink, "https://zebrix.example.org", QString(), folder},
        {dialog.emailLink, "mailto:contact@zebrix.example.org", std::nullopt, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.address);
        shell.opened.clear();
        QTest::mousePress(row.link, Qt::LeftButton);
        QTest::mouseRelease(row.link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(row.link, Qt::RightButton);
        QTest::mouseClick(row.link, Qt::LeftButton);
        ASSERT_EQ(shell.opened.size(), 1u);
        const auto& o = shell.opened[0];
        EXPECT_EQ(o.owner, &dialog);
        EXPECT_EQ(o.verb, QStringLiteral("Open"));
        EXPECT_EQ(o.address, QString::fromLatin1(row.address));
        EXPECT_EQ(o.parameters, row.parameters);
        EXPECT_EQ(o.workingFolder, row.workingFolder);
    }
}

// The button starts the first program of the list found on the PATH; with
// none, or one that does not start, it says so and the dialog stays open.
TEST_F(AboutDialogTest, TheSystemInformationButtonStartsTheFirstProgramFound)
{
    enum Kind { Program, PlainFile, Folder };
    const struct {
        const char* what;
        std::vector<std::pair<QString, Kind>> installed;
        bool startSucceeds;
        QString started; // empty: none, and the message
    } rows[] = {
        {"nothing installed", {}, true, {}},
        {"the only one there", {{"gnome-system-monitor", Program}}, true, "gnome-system-monitor"},
        {"the list's order", {{"gnome-system-monitor", Program}, {"kinfocenter", Program}, {"hardinfo", Program}},
         true, "hardinfo"},
        {"not a program: skipped", {{"hardinfo", PlainFile}, {"kinfocenter", Folder}, {"gnome-system-monitor", Program}},
         true, "gnome-system-monitor"},
        {"found but it does not start", {{"kinfocenter", Program}}, false, "kinfocenter"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        for (const auto& [name, kind] : row.installed) {
            QFile f(dir.filePath(name));
            if (kind == Folder ? !QDir(dir.path()).mkdir(name) : !f.open(QIODevice::WriteOnly))
                FAIL() << "cannot install " << name.toStdString();
            if (kind == Program)
                f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
        }
        FakeMessageBox shown;
        FakeShell path{QStringList{dir.path()}};
        path.startSucceeds = row.startSucceeds;
        AboutDialog dialog(nullptr, {&shown, &path});
        Open(dialog);
        QTest::keyClick(dialog.windowHandle(), Qt::Key_S, Qt::AltModifier); // an animated click
        EXPECT_TRUE(QTest::qWaitFor([&] { return !path.started.empty() || !shown.shown.empty(); }));
        EXPECT_EQ(path.started, row.started.isEmpty() ? std::vector<QString>{}
                                                      : std::vector<QString>{dir.filePath(row.started)});
        const bool says = row.started.isEmpty() || !row.startSucceeds;
        ASSERT_EQ(shown.shown.size(), says ? 1u : 0u);
        EXPECT_TRUE(!says || shown.shown[0].text == QStringLiteral("Information Systeme introuvable !"));
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(AboutDialogTest, OpensModallyCentredOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245);
    owner.show();
    RunShowAbout(&owner, [&](AboutDialog& d) {
        EXPECT_EQ(d.parentWidget(), &owner);
        EXPECT_LE((d.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
        EXPECT_EQ(d.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(QApplication::activeModalWidget(), &d);
        d.close(); // the close box
    });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
