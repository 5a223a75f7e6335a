// The real desktop seams: the shell starting programs and opening addresses,
// the message box's lines.
#include "platform/MessageBox.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

// A program is started as its name stands (a shell would split and expand
// this one), without arguments and without waiting for it; what is not a
// program is not started.
TEST(QtShell, StartsTheProgramItselfWithoutWaiting)
{
    QTemporaryDir dir;
    const QString go = dir.filePath(QStringLiteral("go")), done = dir.filePath(QStringLiteral("done"));
    const std::tuple<QString, QByteArray, bool> rows[] = { // the path, what it holds (if anything), whether it starts
        {dir.filePath(QStringLiteral("outil système $HOME; x")),
         QStringLiteral("#!/bin/sh\nfor i in $(seq 200); do [ -e '%1' ] && break; sleep 0.05; done\n"
                        "echo \"$#\" > '%2.part' && mv '%2.part' '%2'\n").arg(go, done).toUtf8(), true},
        {dir.filePath(QStringLiteral("missing")), {}, false}, {QString(), {}, false},
        {dir.filePath(QStringLiteral("plain")), "text, not executable", false},
    };
    QtShellService shell;
    for (const auto& [path, body, starts] : rows) {
        QFile f(path);
        if (!body.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(body) && starts)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        f.close();
        EXPECT_EQ(shell.startProgram(path), starts) << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(done)); // it waits for `go`: we did not wait for it
    QFile(go).open(QIODevice::WriteOnly);
    for (int i = 0; i < 400 && !QFile::exists(done); ++i)
        QTest::qSleep(25);
    QFile result(done);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << "the program did not run";
    EXPECT_EQ(result.readAll().trimmed(), QByteArray("0"));
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// Web and mail addresses go to the desktop's handler; other verbs and
// malformed addresses go nowhere.
TEST(QtShell, OpensAddressesWithTheDesktopsHandler)
{
    UrlCatcher catcher;
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "open");
    const std::tuple<QString, QString, bool> rows[] = { // verb, address, opened
        {"Open", "https://zebrix.example.org/Don/Don.htm", true}, {"Open", "mailto:contact@zebrix.example.org", true},
        {"Print", "https://zebrix.example.org", false}, {"Open", "not an address", false},
    };
    QtShellService shell;
    for (const auto& [verb, address, opened] : rows) {
        catcher.urls.clear();
        shell.openAddress(nullptr, verb, address, QString(), QString());
        EXPECT_EQ(catcher.urls, opened ? QList<QUrl>{QUrl(address)} : QList<QUrl>{}) << address.toStdString();
    }
    for (const char* scheme : {"https", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

// A carriage return alone breaks the line; the text is shown as typed, not as markup.
TEST(QtMessageBox, ACarriageReturnAloneBreaksTheLine)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        EXPECT_TRUE(box->windowTitle() == "A propos" && box->icon() == QMessageBox::Information);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    QtMessageBoxService messages;
    const QString text = QStringLiteral("Zebrix version 1.0.0\r\rAuteur : <b>x</b>\rE\rU\r\rLogiciel FREEWARE");
    EXPECT_EQ(messages.show(nullptr, text, QStringLiteral("A propos"), MessageIcon::Information, MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(shown, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

} // namespace

#include "DesktopSeamsTest.moc"
