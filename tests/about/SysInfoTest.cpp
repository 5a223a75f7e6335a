// The about dialog's system-information button, with the real program lookup
// on a PATH of the test's own.
#include "about/AboutDialog.h"
#include "platform/Shell.h"
#include "support/FakeMessageBox.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace zebrix;

namespace {

// Finds programs as the desktop does, in one folder; records what it starts.
class RecordingShell : public QtShellService {
public:
    using QtShellService::QtShellService;
    bool startProgram(const QString& path) override
    {
        started.push_back(path);
        return startSucceeds;
    }
    std::vector<QString> started;
    bool startSucceeds = true;
};

enum class Kind { Program, PlainFile, Folder };

void Install(const QDir& dir, const QString& name, Kind kind)
{
    if (kind == Kind::Folder) {
        ASSERT_TRUE(dir.mkdir(name));
        return;
    }
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexit 0\n");
    f.close();
    if (kind == Kind::Program)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

TEST(SystemInformation, StartsTheFirstProgramOfTheListFoundOnThePath)
{
    const struct {
        const char* what;
        std::vector<std::pair<QString, Kind>> installed;
        bool startSucceeds;
        QString started; // the program started, empty for none
        bool notFound;   // "Information Systeme introuvable !" shown
    } rows[] = {
        {"nothing installed", {}, true, {}, true},
        {"the only one there", {{"gnome-system-monitor", Kind::Program}}, true, "gnome-system-monitor", false},
        {"the list's order, not the folder's",
         {{"gnome-system-monitor", Kind::Program}, {"kinfocenter", Kind::Program}, {"hardinfo", Kind::Program}},
         true, "hardinfo", false},
        {"not a program: skipped",
         {{"hardinfo", Kind::PlainFile}, {"kinfocenter", Kind::Folder}, {"gnome-system-monitor", Kind::Program}},
         true, "gnome-system-monitor", false},
        {"found but it does not start", {{"kinfocenter", Kind::Program}}, false, "kinfocenter", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const auto& [name, kind] : row.installed)
            Install(QDir(dir.path()), name, kind);
        test::FakeMessageBox messages;
        RecordingShell shell(QStringList{dir.path()});
        shell.startSucceeds = row.startSucceeds;
        AboutDialog dialog(nullptr, {&messages, &shell});

        dialog.systemInfoButton->click();

        const std::vector<QString> expected =
            row.started.isEmpty() ? std::vector<QString>{} : std::vector<QString>{dir.filePath(row.started)};
        EXPECT_EQ(shell.started, expected);
        ASSERT_EQ(messages.shown.size(), row.notFound ? 1u : 0u);
        if (row.notFound) {
            EXPECT_EQ(messages.shown[0].text, QStringLiteral("Information Systeme introuvable !"));
        }
    }
}

} // namespace
