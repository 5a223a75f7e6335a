// The real desktop seams: the registry answered from installed programs, the
// shell starting programs and opening addresses, the message box's lines.
#include "about/frmAbout.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "support/FakeMessageBox.h"
#include "support/FakeShell.h"

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

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

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

// Reads the tool's path the way the dialog does: open, query, close.
QByteArray ReadPath(RegistryService& registry, long* rc = nullptr)
{
    RegistryKey key = 0;
    long r = registry.openKey(kHkeyLocalMachine, kPathKey, 0x2003F, &key);
    if (r != kErrorSuccess) {
        if (rc)
            *rc = r;
        return {};
    }
    char buffer[1024] = {};
    std::uint32_t size = sizeof buffer;
    std::uint32_t type = 0;
    r = registry.queryValue(key, QStringLiteral("PATH"), &type, buffer, &size);
    EXPECT_EQ(registry.closeKey(key), kErrorSuccess);
    if (rc)
        *rc = r;
    EXPECT_EQ(type, kRegSz);
    return r == kErrorSuccess ? QByteArray(buffer, static_cast<qsizetype>(size)) : QByteArray();
}

TEST(DesktopRegistry, AnswersWithTheFirstSystemInformationProgramInstalled)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    DesktopRegistry registry(DesktopRegistry::defaultPrograms(), {dir.path()});

    long rc = 0;
    EXPECT_EQ(ReadPath(registry, &rc), QByteArray());
    EXPECT_EQ(rc, kErrorFileNotFound); // nothing installed: no entry at all

    MakeProgram(dir.filePath(QStringLiteral("hardinfo")), "not a program", false); // not executable: skipped
    const QString kinfocenter = MakeProgram(dir.filePath(QStringLiteral("kinfocenter")));
    MakeProgram(dir.filePath(QStringLiteral("gnome-system-monitor")));
    EXPECT_EQ(ReadPath(registry), QFile::encodeName(kinfocenter) + '\0');

    const QString hardinfo = MakeProgram(dir.filePath(QStringLiteral("hardinfo")));
    EXPECT_EQ(ReadPath(registry), QFile::encodeName(hardinfo) + '\0');
}

TEST(DesktopRegistry, KeepsTheRulesOfTheRegistryCalls)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tool = MakeProgram(dir.filePath(QStringLiteral("hardinfo")));
    const auto bytes = static_cast<std::uint32_t>(QFile::encodeName(tool).size() + 1);
    DesktopRegistry registry({QStringLiteral("hardinfo")}, {dir.path()});

    // Key and value names ignore case; the folder entry does not exist here.
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kHkeyLocalMachine, kPathKey.toLower(), 0x2003F, &key), kErrorSuccess);
    RegistryKey other = 0;
    EXPECT_EQ(registry.openKey(kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                               0x2003F, &other),
              kErrorFileNotFound);
    EXPECT_EQ(other, 0u);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValue(key, QStringLiteral("path"), &type, nullptr, &size), kErrorSuccess);
    EXPECT_EQ(size, bytes);

    char small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(registry.queryValue(key, QStringLiteral("PATH"), &type, small, &size), kErrorMoreData);
    EXPECT_EQ(size, bytes);
    EXPECT_EQ(small[0], 'x'); // nothing written

    EXPECT_EQ(registry.queryValue(key, QStringLiteral("MSINFO"), &type, small, &size), kErrorFileNotFound);
    EXPECT_EQ(registry.closeKey(key), kErrorSuccess);
    EXPECT_EQ(registry.queryValue(key, QStringLiteral("PATH"), &type, small, &size), kErrorInvalidHandle);
    EXPECT_EQ(registry.closeKey(key), kErrorInvalidHandle);

    // A key opened without the right to read values.
    ASSERT_EQ(registry.openKey(kHkeyLocalMachine, kPathKey, 0x20000, &key), kErrorSuccess);
    size = sizeof small;
    EXPECT_EQ(registry.queryValue(key, QStringLiteral("PATH"), &type, small, &size), kErrorAccessDenied);
    EXPECT_EQ(registry.closeKey(key), kErrorSuccess);
}

TEST(DesktopRegistry, TheDialogStartsTheProgramFound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tool = MakeProgram(dir.filePath(QStringLiteral("gnome-system-monitor")));
    test::FakeMessageBox messages;
    test::FakeShell shell;
    DesktopRegistry registry(DesktopRegistry::defaultPrograms(), {dir.path()});
    frmAbout dialog(nullptr, {&messages, &registry, &shell});

    dialog.StartSysInfo();
    EXPECT_EQ(shell.started, std::vector<QString>{tool});
    EXPECT_TRUE(messages.shown.empty());

    QFile::remove(tool);
    dialog.StartSysInfo();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Information Systeme introuvable !"));
    EXPECT_EQ(shell.started.size(), 1u);
}

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

TEST(QtShell, TellsFilesFromFoldersAndMissingPaths)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtShellService shell;
    // On this system a backslash is part of the name.
    const QString file = MakeProgram(dir.filePath(QStringLiteral("MSInfo\\MSINFO32.EXE")), "", false);
    EXPECT_TRUE(shell.fileExists(file));
    EXPECT_FALSE(shell.fileExists(dir.filePath(QStringLiteral("MSInfo"))));
    EXPECT_FALSE(shell.fileExists(dir.path()));
    EXPECT_FALSE(shell.fileExists(QString()));
}

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
