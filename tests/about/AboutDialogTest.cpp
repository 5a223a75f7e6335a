// The about dialog as a user sees and works it, on Qt's offscreen platform:
// captions, keys, links, the details message, the system-information button.
#include "about/AboutDialog.h"
#include "support/FakeMessageBox.h"
#include "support/FakeShell.h"

#include <QApplication>
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

void ExpectCaptions(const AboutDialog& d)
{
    EXPECT_EQ(d.windowTitle() + "|" + d.titleLabel->text() + "|" + d.versionLabel->text() + "|" + d.emailLink->text() +
                  "|" + d.webSiteLink->text() + "|" + d.webSiteLink->toolTip(),
              "A propos Zebrix|Zebrix|Version 1.0.0|E-Mail : contact@zebrix.example.org|URL : https://zebrix.example.org"
              "|Visitez le site officiel Zebrix");
}

// Each opening sets the captions again; ShowAbout opens a new dialog, modal on
// its owner and centred on it, each time.
TEST(AboutDialogTest, EveryOpeningSetsTheCaptionsModalOnItsOwner)
{
    Dialog d;
    ExpectCaptions(d.dialog);
    for (QLabel* label : {d.dialog.titleLabel, d.dialog.versionLabel})
        label->setText(QStringLiteral("x"));
    d.dialog.okButton->click();
    EXPECT_FALSE(d.dialog.isVisible());
    d.dialog.show();
    ExpectCaptions(d.dialog);
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245);
    owner.show();
    QTimer::singleShot(10000, &owner, [] { if (QWidget* w = QApplication::activeModalWidget()) w->close(); });
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&] {
            auto* shown = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            ExpectCaptions(*shown);
            EXPECT_EQ(shown->parentWidget(), &owner);
            EXPECT_EQ(shown->windowModality(), Qt::ApplicationModal);
            EXPECT_LE((shown->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
            shown->titleLabel->setText(QStringLiteral("x"));
            shown->close(); // the close box
        });
        ShowAbout(&owner, {&d.messages, &d.shell});
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Enter and Escape close the dialog through OK; Escape whichever button has the focus.
TEST(AboutDialogTest, EnterAndEscapeBothClose)
{
    for (const auto& [key, onDetails] : {std::pair{Qt::Key_Return, false}, {Qt::Key_Enter, false},
                                         {Qt::Key_Escape, false}, {Qt::Key_Escape, true}}) {
        Dialog d;
        ASSERT_EQ(QApplication::focusWidget(), d.dialog.okButton);
        if (onDetails)
            d.dialog.detailsButton->setFocus();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(!d.dialog.isVisible() && d.dialog.result() == QDialog::Accepted && d.messages.shown.empty()) << key;
    }
}

TEST(AboutDialogTest, TheDetailsAreSevenLinesSeparatedByCarriageReturns)
{
    Dialog d;
    d.dialog.detailsButton->click();
    ASSERT_EQ(d.messages.shown.size(), 1u);
    const auto& m = d.messages.shown[0];
    EXPECT_TRUE(m.title == "A propos" && m.icon == MessageIcon::Information && m.buttons == MessageButtons::Ok);
    EXPECT_EQ(m.text, "Zebrix version 1.0.0\r\rAuteur : " + about::Author() +
                          "\rE-Mail : contact@zebrix.example.org\rUrl : https://zebrix.example.org\r\rLogiciel FREEWARE");
    EXPECT_TRUE(d.dialog.isVisible());
}

// A left click opens the link's address through the shell; a press that
// leaves the label before its release, or a right click, opens nothing.
TEST(AboutDialogTest, LinksOpenTheirAddressesThroughTheShell)
{
    Dialog d;
    const QString folder = QCoreApplication::applicationDirPath();
    const std::tuple<QLabel*, QString, std::optional<QString>, std::optional<QString>> rows[] = {
        {d.dialog.donationLink, "https://zebrix.example.org/Don/Don.htm", QString(), folder},
        {d.dialog.webSiteLink, "https://zebrix.example.org", QString(), folder},
        {d.dialog.emailLink, "mailto:contact@zebrix.example.org", std::nullopt, std::nullopt},
    };
    for (const auto& [link, address, parameters, workingFolder] : rows) {
        d.shell.opened.clear();
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_EQ(d.shell.opened.size(), 1u) << address.toStdString();
        const auto& o = d.shell.opened[0];
        EXPECT_TRUE(o.owner == &d.dialog && o.verb == "Open" && o.address == address) << o.address.toStdString();
        EXPECT_TRUE(o.parameters == parameters && o.workingFolder == workingFolder) << address.toStdString();
    }
}

// Alt+S starts the first program of the list found on the PATH; with none, or
// one that does not start, it says so; the dialog stays open.
TEST(AboutDialogTest, TheSystemInformationButtonStartsTheFirstProgramFound)
{
    enum Kind { Program, PlainFile, Folder };
    const std::tuple<const char*, std::vector<std::pair<QString, Kind>>, bool, QString> rows[] = {
        {"nothing installed", {}, true, {}},
        {"the only one", {{"gnome-system-monitor", Program}}, true, "gnome-system-monitor"},
        {"the list's order", {{"gnome-system-monitor", Program}, {"kinfocenter", Program}, {"hardinfo", Program}}, true,
         "hardinfo"},
        {"not programs", {{"hardinfo", PlainFile}, {"kinfocenter", Folder}, {"gnome-system-monitor", Program}}, true,
         "gnome-system-monitor"},
        {"does not start", {{"kinfocenter", Program}}, false, "kinfocenter"},
    };
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

} // namespace
