// The system-information launcher and the registry reads under it, against
// a scripted registry and shell.
#include "about/frmAbout.h"
#include "support/FakeMessageBox.h"
#include "support/FakeRegistry.h"
#include "support/FakeShell.h"

#include <gtest/gtest.h>

using namespace zebrix;
using zebrix::test::FakeMessageBox;
using zebrix::test::FakeRegistry;
using zebrix::test::FakeShell;

namespace {

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kWindowsFolder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");

class SysInfo : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(registry.open.empty()) << "a registry key was left open";
    }

    void ExpectNotFound()
    {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, QStringLiteral("Information Systeme introuvable !"));
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Zebrix"));
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
        EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
        EXPECT_TRUE(shell.started.empty());
    }

    FakeMessageBox messages;
    FakeRegistry registry;
    FakeShell shell;
    frmAbout dialog{nullptr, {&messages, &registry, &shell}};
};

TEST_F(SysInfo, NeitherEntrySaysNotFoundAndStartsNothing)
{
    dialog.cmdSysInfo_Click();
    ExpectNotFound();
    ASSERT_EQ(registry.opens.size(), 2u);
    EXPECT_EQ(registry.opens[0].subKey, kPathKey);
    EXPECT_EQ(registry.opens[1].subKey, kFolderKey);
    for (const auto& o : registry.opens) {
        EXPECT_EQ(o.parent, kHkeyLocalMachine);
        EXPECT_EQ(o.access, 0x2003Fu);
    }
    EXPECT_TRUE(registry.queries.empty());
    EXPECT_TRUE(registry.closes.empty()); // nothing was opened
    EXPECT_TRUE(shell.fileTests.empty());
}

TEST_F(SysInfo, TheFullPathIsStartedAsItStandsWithoutAFileTest)
{
    const QString path = QStringLiteral("/opt/outils système/hardinfo");
    registry.set(kPathKey, QStringLiteral("PATH"), FakeRegistry::String(path.toUtf8()));
    registry.set(kFolderKey, QStringLiteral("MSINFO"), FakeRegistry::String("C:\\elsewhere"));
    dialog.StartSysInfo();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(shell.started, std::vector<QString>{path});
    EXPECT_TRUE(shell.fileTests.empty());
    EXPECT_EQ(registry.opens.size(), 1u); // the folder entry is not looked at
}

TEST_F(SysInfo, OnlyTheFolderEntryStartsTheToolWhenTheFileIsThere)
{
    const QString program = kWindowsFolder + QStringLiteral("\\MSINFO32.EXE");
    registry.set(kFolderKey, QStringLiteral("MSINFO"), FakeRegistry::String(kWindowsFolder.toUtf8()));

    dialog.StartSysInfo();
    ExpectNotFound();
    EXPECT_EQ(shell.fileTests, std::vector<QString>{program});

    messages.shown.clear();
    shell.files.insert(program);
    dialog.StartSysInfo();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(shell.started, std::vector<QString>{program});
}

TEST_F(SysInfo, AFolderEndingInABackslashKeepsBothBackslashes)
{
    registry.set(kFolderKey, QStringLiteral("MSINFO"), FakeRegistry::String("C:\\MSInfo\\"));
    const QString doubled = QStringLiteral("C:\\MSInfo\\\\MSINFO32.EXE");
    shell.files.insert(doubled);
    dialog.StartSysInfo();
    EXPECT_EQ(shell.fileTests, std::vector<QString>{doubled});
    EXPECT_EQ(shell.started, std::vector<QString>{doubled});
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SysInfo, AFailedReadOrStartEndsInTheMessage)
{
    // The first entry cannot be read: the folder entry is tried, and is missing.
    auto denied = FakeRegistry::String("C:\\tool.exe");
    denied.failure = kErrorAccessDenied;
    registry.set(kPathKey, QStringLiteral("PATH"), denied);
    dialog.StartSysInfo();
    ExpectNotFound();
    EXPECT_EQ(registry.opens.size(), 2u);
    EXPECT_EQ(registry.closes.size(), 1u);

    // The path is there but the program will not start.
    messages.shown.clear();
    registry.set(kPathKey, QStringLiteral("PATH"), FakeRegistry::String("C:\\tool.exe"));
    shell.startSucceeds = false;
    dialog.StartSysInfo();
    EXPECT_EQ(shell.started, std::vector<QString>{QStringLiteral("C:\\tool.exe")});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Information Systeme introuvable !"));
}

TEST_F(SysInfo, AKeyWithoutTheValueFallsBackToTheFolder)
{
    registry.addKey(kPathKey);
    registry.set(kFolderKey, QStringLiteral("MSINFO"), FakeRegistry::String("D:\\Outils"));
    shell.files.insert(QStringLiteral("D:\\Outils\\MSINFO32.EXE"));
    dialog.StartSysInfo();
    EXPECT_EQ(shell.started, std::vector<QString>{QStringLiteral("D:\\Outils\\MSINFO32.EXE")});
    EXPECT_EQ(registry.closes.size(), 2u);
}

TEST_F(SysInfo, ANumberInTheFolderEntryNamesNoFile)
{
    registry.set(kFolderKey, QStringLiteral("MSINFO"), FakeRegistry::Dword(7));
    dialog.StartSysInfo();
    EXPECT_EQ(shell.fileTests, std::vector<QString>{QStringLiteral("&h7\\MSINFO32.EXE")});
    ExpectNotFound();
}

// GetKeyValue on its own.
class KeyValue : public SysInfo {
protected:
    QString Read(const FakeRegistry::Value& value, bool* ok = nullptr, const QString& before = QStringLiteral("before"))
    {
        registry.set(QStringLiteral("K"), QStringLiteral("V"), value);
        QString out = before;
        const bool read = dialog.GetKeyValue(kHkeyLocalMachine, QStringLiteral("K"), QStringLiteral("V"), out);
        if (ok)
            *ok = read;
        return out;
    }
};

TEST_F(KeyValue, AStringIsReadThroughA1024CharacterBuffer)
{
    bool ok = false;
    EXPECT_EQ(Read(FakeRegistry::String("C:\\Windows\\msinfo32.exe"), &ok), QStringLiteral("C:\\Windows\\msinfo32.exe"));
    EXPECT_TRUE(ok);
    ASSERT_EQ(registry.queries.size(), 1u);
    EXPECT_EQ(registry.queries[0].bufferSize, 1024u);
    EXPECT_EQ(registry.opens[0].access, 0x2003Fu);
    EXPECT_EQ(registry.closes.size(), 1u);
}

TEST_F(KeyValue, OnlyATrailingZeroIsDropped)
{
    // Stored without its terminating zero: every character is kept.
    EXPECT_EQ(Read({kRegSz, QByteArray("abc"), kErrorSuccess, std::nullopt}), QStringLiteral("abc"));
    // Two zeros at the end: only the last one goes.
    EXPECT_EQ(Read({kRegSz, QByteArray("ab\0\0", 4), kErrorSuccess, std::nullopt}), QString::fromLatin1("ab\0", 3));
    // A size of zero reads an empty string.
    bool ok = false;
    EXPECT_EQ(Read({kRegSz, QByteArray(), kErrorSuccess, std::nullopt}, &ok), QString());
    EXPECT_TRUE(ok);
}

TEST_F(KeyValue, TheBufferHolds1023CharactersAndTheirZero)
{
    const QByteArray longest(1023, 'x');
    bool ok = false;
    EXPECT_EQ(Read(FakeRegistry::String(longest), &ok), QString::fromLatin1(longest));
    EXPECT_TRUE(ok);

    // One more does not fit: the read fails.
    EXPECT_EQ(Read(FakeRegistry::String(longest + 'x'), &ok), QString());
    EXPECT_FALSE(ok);

    // A store that claims more than the buffer holds is not believed.
    FakeRegistry::Value liar = FakeRegistry::String("abc");
    liar.size = 5000;
    EXPECT_EQ(Read(liar, &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(KeyValue, ANumberReadsAsHexadecimal)
{
    EXPECT_EQ(Read(FakeRegistry::Dword(0x2A)), QStringLiteral("&h2A"));
    EXPECT_EQ(Read(FakeRegistry::Dword(0x12345678)), QStringLiteral("&h12345678"));
    EXPECT_EQ(Read(FakeRegistry::Dword(0x01000000)), QStringLiteral("&h1000000"));
    EXPECT_EQ(Read(FakeRegistry::Dword(0)), QStringLiteral("&h0"));
}

TEST_F(KeyValue, OtherTypesLeaveTheTextAsItWas)
{
    bool ok = false;
    EXPECT_EQ(Read({3, QByteArray("\x01\x02", 2), kErrorSuccess, std::nullopt}, &ok), QStringLiteral("before"));
    EXPECT_TRUE(ok);
}

TEST_F(KeyValue, FailuresEmptyTheTextAndCloseWhatWasOpened)
{
    bool ok = true;
    FakeRegistry::Value broken = FakeRegistry::String("abc");
    broken.failure = kErrorAccessDenied;
    EXPECT_EQ(Read(broken, &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(registry.closes.size(), 1u);

    QString out = QStringLiteral("before");
    EXPECT_FALSE(dialog.GetKeyValue(kHkeyLocalMachine, QStringLiteral("No\\Such\\Key"), QStringLiteral("V"), out));
    EXPECT_EQ(out, QString());
    EXPECT_EQ(registry.closes.size(), 1u); // a key that did not open is not closed
}

} // namespace
