// The real desktop seams: the shell starting programs and opening addresses,
// the message box's lines.
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

// Writes an executable shell script.
QString MakeProgram(const QString& path, const QByteArray& body = "#!/bin/sh\nexit 0\n", bool executable = true)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(body);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

} // namespace

TEST(QtShell, StartsTheProgramItselfWithoutWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A name a shell would split and expand: started as it stands, it runs.
    // The program waits for the test to go on, so returning proves no waiting.
    const QString go = dir.filePath(QStringLiteral("go"));
    const QString done = dir.filePath(QStringLiteral("done"));
    const QString program = MakeProgram(
        dir.filePath(QStringLiteral("outil système $HOME; x")),
        QStringLiteral("#!/bin/sh\nfor i in $(seq 200); do [ -e '%1' ] && break; sleep 0.05; done\n"
                       "echo \"$#\" > '%2.part' && mv '%2.part' '%2'\n")
            .arg(go, done)
            .toUtf8());

    QtShellService shell;
    ASSERT_TRUE(shell.startProgram(program));
    EXPECT_FALSE(QFile::exists(done));
    QFile(go).open(QIODevice::WriteOnly);
    for (int i = 0; i < 400 && !QFile::exists(done); ++i)
        QTest::qSleep(25);
    QFile result(done);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << "the program did not run";
    EXPECT_EQ(result.readAll().trimmed(), QByteArray("0")); // no arguments

    EXPECT_FALSE(shell.startProgram(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(shell.startProgram(QString()));
    EXPECT_FALSE(shell.startProgram(MakeProgram(dir.filePath(QStringLiteral("plain")), "text", false)));
}

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

TEST(QtShell, OpensAddressesWithTheDesktopsHandler)
{
    UrlCatcher catcher;
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
    QtShellService shell;
    shell.openAddress(nullptr, QStringLiteral("Open"), QStringLiteral("https://zebrix.example.org/Don/Don.htm"),
                      QString(), QDir::currentPath());
    shell.openAddress(nullptr, QStringLiteral("Open"), QStringLiteral("mailto:contact@zebrix.example.org"),
                      std::nullopt, std::nullopt);
    shell.openAddress(nullptr, QStringLiteral("Print"), QStringLiteral("https://zebrix.example.org"), QString(),
                      QString());
    shell.openAddress(nullptr, QStringLiteral("Open"), QStringLiteral("not an address"), QString(), QString());
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("https://zebrix.example.org/Don/Don.htm")));
    EXPECT_EQ(catcher.urls[1], QUrl(QStringLiteral("mailto:contact@zebrix.example.org")));
}

TEST(QtMessageBox, ACarriageReturnAloneBreaksTheLine)
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text().split(QLatin1Char('\n'));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("A propos"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    QtMessageBoxService messages;
    const QString text = QStringLiteral("Zebrix version 1.0.0\r\rAuteur : <b>x</b>\rE\rU\r\rLogiciel FREEWARE");
    EXPECT_EQ(messages.show(nullptr, text, QStringLiteral("A propos"), MessageIcon::Information, MessageButtons::Ok),
              MessageAnswer::Ok);
    ASSERT_EQ(shown.size(), 7);
    EXPECT_EQ(shown[1], QString());
    EXPECT_EQ(shown[2], QStringLiteral("Auteur : <b>x</b>")); // shown as typed, not as markup
    EXPECT_EQ(shown[5], QString());
}

} // namespace

#include "DesktopSeamsTest.moc"
