// The about dialog on Qt's offscreen platform: captions, keys, links, the
// details message and its look.
#include "about/AboutDialog.h"
#include "support/FakeMessageBox.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace zebrix;
using zebrix::test::FakeMessageBox;
using zebrix::test::FakeShell;

namespace {

class AboutDialogTest : public ::testing::Test {
protected:
    AboutServices services() { return {&messages, &shell}; }

    // Shows the dialog as the user gets it, focus on its first button.
    void Open(AboutDialog& dialog)
    {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Runs ShowAbout; `inside` runs while the dialog is open and must close it.
    void RunShowAbout(QWidget* owner, std::function<void(AboutDialog&)> inside)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<AboutDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ran = true;
            inside(*dialog);
        });
        // Should the dialog stay open after a failure, close it rather than hang.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        guard.start(10000);
        ShowAbout(owner, services());
        EXPECT_TRUE(ran);
        EXPECT_TRUE(guard.isActive()) << "the dialog had to be closed by force";
    }

    FakeMessageBox messages;
    FakeShell shell;
};

void ExpectCaptions(const AboutDialog& dialog)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("A propos Zebrix"));
    EXPECT_EQ(dialog.titleLabel->text(), QStringLiteral("Zebrix"));
    EXPECT_EQ(dialog.versionLabel->text(), QStringLiteral("Version 1.0.0"));
}

TEST_F(AboutDialogTest, EveryOpeningSetsTheCaptionsAgain)
{
    AboutDialog dialog(nullptr, services());
    Open(dialog);
    ExpectCaptions(dialog);
    dialog.setWindowTitle(QStringLiteral("x"));
    dialog.titleLabel->setText(QStringLiteral("x"));
    dialog.versionLabel->setText(QStringLiteral("x"));
    dialog.okButton->click();
    EXPECT_FALSE(dialog.isVisible());

    Open(dialog);
    ExpectCaptions(dialog);

    // ShowAbout makes a new dialog each time: nothing carries over.
    QWidget owner;
    for (int i = 0; i < 2; ++i)
        RunShowAbout(&owner, [](AboutDialog& d) {
            ExpectCaptions(d);
            d.titleLabel->setText(QStringLiteral("x"));
            d.okButton->click();
        });
}

TEST_F(AboutDialogTest, EnterAndEscapeBothClose)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        AboutDialog dialog(nullptr, services());
        Open(dialog);
        ASSERT_EQ(QApplication::focusWidget(), dialog.okButton);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(dialog.isVisible()) << key;
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << key; // through the OK button
    }
    // Escape from another button still goes through OK.
    AboutDialog dialog(nullptr, services());
    Open(dialog);
    dialog.detailsButton->setFocus();
    QTest::keyClick(dialog.detailsButton, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AboutDialogTest, TheDetailsAreSevenLinesSeparatedByCarriageReturns)
{
    AboutDialog dialog(nullptr, services());
    Open(dialog);
    dialog.detailsButton->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    const auto& m = messages.shown[0];
    EXPECT_EQ(m.title, QStringLiteral("A propos"));
    EXPECT_EQ(m.icon, MessageIcon::Information);
    EXPECT_EQ(m.buttons, MessageButtons::Ok);
    EXPECT_FALSE(m.text.contains(QLatin1Char('\n')));
    const QStringList lines = m.text.split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("Zebrix version 1.0.0"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("Auteur : ") + about::Author());
    EXPECT_EQ(lines[3], QStringLiteral("E-Mail : ") + about::ContactEmail());
    EXPECT_EQ(lines[4], QStringLiteral("Url : ") + about::WebSite());
    EXPECT_EQ(lines[5], QString());
    EXPECT_EQ(lines[6], QStringLiteral("Logiciel FREEWARE"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutDialogTest, LinksOpenTheirAddressesThroughTheShell)
{
    AboutDialog dialog(nullptr, services());
    Open(dialog);
    const QString programFolder = QCoreApplication::applicationDirPath();

    QTest::mouseClick(dialog.donationLink, Qt::LeftButton);
    QTest::mouseClick(dialog.webSiteLink, Qt::LeftButton);
    QTest::mouseClick(dialog.emailLink, Qt::LeftButton);
    // A press that leaves the label before the release is no click.
    QTest::mousePress(dialog.webSiteLink, Qt::LeftButton);
    QTest::mouseRelease(dialog.webSiteLink, Qt::LeftButton, {}, QPoint(-5, -5));
    QTest::mouseClick(dialog.webSiteLink, Qt::RightButton);

    ASSERT_EQ(shell.opened.size(), 3u);
    const auto& donation = shell.opened[0];
    EXPECT_EQ(donation.address, about::WebSite() + QStringLiteral("/Don/Don.htm"));
    EXPECT_EQ(donation.parameters, std::optional<QString>(QString()));
    EXPECT_EQ(donation.workingFolder, std::optional<QString>(programFolder));

    const auto& site = shell.opened[1];
    EXPECT_EQ(site.address, about::WebSite());
    EXPECT_EQ(site.parameters, std::optional<QString>(QString()));
    EXPECT_EQ(site.workingFolder, std::optional<QString>(programFolder));

    const auto& mail = shell.opened[2];
    EXPECT_EQ(mail.address, QStringLiteral("mailto:") + about::ContactEmail());
    EXPECT_EQ(mail.parameters, std::nullopt);
    EXPECT_EQ(mail.workingFolder, std::nullopt);

    for (const auto& o : shell.opened) {
        EXPECT_EQ(o.verb, QStringLiteral("Open"));
        EXPECT_EQ(o.owner, &dialog);
        // Nothing real is ever contacted.
        const QUrl url(o.address);
        ASSERT_TRUE(url.isValid()) << o.address.toStdString();
        const QString host = url.scheme() == QStringLiteral("mailto") ? url.path().section(QLatin1Char('@'), 1)
                                                                       : url.host();
        EXPECT_TRUE(host.endsWith(QStringLiteral(".example.org"))) << o.address.toStdString();
    }
    EXPECT_EQ(dialog.emailLink->text(), QStringLiteral("E-Mail : ") + about::ContactEmail());
    EXPECT_EQ(dialog.webSiteLink->text(), QStringLiteral("URL : ") + about::WebSite());
    EXPECT_EQ(dialog.webSiteLink->toolTip(), QStringLiteral("Visitez le site officiel ") + about::WebSiteName());
}

TEST_F(AboutDialogTest, TheSystemInformationButtonAndItsAccessKey)
{
    AboutDialog dialog(nullptr, services());
    Open(dialog);
    dialog.systemInfoButton->click();
    // Alt+S, through the window system as typed; the button answers with an animated click.
    QTest::keyClick(dialog.windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() >= 2; }));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("Information Systeme introuvable !"));
    EXPECT_TRUE(dialog.isVisible()); // the dialog stays open
}

TEST_F(AboutDialogTest, OpensModallyCentredOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(140, 90, 497, 245);
    owner.show();
    RunShowAbout(&owner, [&](AboutDialog& d) {
        EXPECT_TRUE(d.isModal());
        EXPECT_EQ(d.parentWidget(), &owner);
        EXPECT_LE((d.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
        EXPECT_EQ(d.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(QApplication::activeModalWidget(), &d);
        d.close(); // the close box
    });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutDialogTest, LooksAsDesigned)
{
    AboutDialog dialog(nullptr, services());
    Open(dialog);

    // A fixed black dialog of 382 x 217 pixels, close box only.
    EXPECT_EQ(dialog.size(), QSize(382, 217));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(dialog.windowIcon().availableSizes().contains(QSize(32, 32)));

    // Our own pictures, compiled in.
    EXPECT_FALSE(dialog.logoPicture->pixmap().isNull());
    EXPECT_FALSE(dialog.donationLink->pixmap().isNull());

    // Transparent labels in their colours.
    const std::pair<QLabel*, QColor> colours[] = {
        {dialog.titleLabel, QColor(0, 255, 0)},        {dialog.versionLabel, QColor(0, 255, 0)},
        {dialog.descriptionLabel, QColor(0, 255, 0)},  {dialog.emailLink, QColor(192, 255, 255)},
        {dialog.webSiteLink, QColor(192, 255, 255)},      {dialog.freewareLabel, QColor(255, 0, 0)},
    };
    for (const auto& [label, colour] : colours) {
        EXPECT_FALSE(label->autoFillBackground()) << label->objectName().toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), colour) << label->objectName().toStdString();
    }

    // Comic Neue stands in for Comic Sans MS when that is missing; the system
    // button keeps a plain sans-serif.
    if (!QFontDatabase::families().contains(QStringLiteral("Comic Sans MS")) &&
        QFontDatabase::families().contains(QStringLiteral("Comic Neue"))) {
        EXPECT_EQ(QFontInfo(dialog.titleLabel->font()).family(), QStringLiteral("Comic Neue"));
        EXPECT_EQ(QFontInfo(dialog.okButton->font()).family(), QStringLiteral("Comic Neue"));
    }
    EXPECT_NE(QFontInfo(dialog.systemInfoButton->font()).family(), QFontInfo(dialog.okButton->font()).family());

    // The buttons: OK is the default; Tab runs OK, system information, details.
    EXPECT_TRUE(dialog.okButton->isDefault());
    std::vector<QWidget*> tabs;
    QWidget* w = dialog.okButton;
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            tabs.push_back(w);
        w = w->nextInFocusChain();
    } while (w != dialog.okButton);
    EXPECT_EQ(tabs, (std::vector<QWidget*>{dialog.okButton, dialog.systemInfoButton, dialog.detailsButton}));

    // Everything inside the client area; the links sized to their text and
    // clear of the buttons beside them.
    for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->objectName().toStdString();
    for (QLabel* link : {static_cast<QLabel*>(dialog.emailLink), static_cast<QLabel*>(dialog.webSiteLink)}) {
        EXPECT_EQ(link->size(), link->sizeHint()) << link->objectName().toStdString();
        EXPECT_LT(link->geometry().right(), dialog.okButton->geometry().left()) << link->objectName().toStdString();
    }
}

} // namespace
