#pragma once
// A scripted shell: records the addresses opened and the programs started,
// answers file tests from a set of files, and starts what the test allows.
#include "platform/Shell.h"

#include <set>
#include <vector>

namespace zebrix::test {

class FakeShell : public ShellService {
public:
    struct Opened {
        QWidget* owner;
        QString verb;
        QString address;
        std::optional<QString> parameters;
        std::optional<QString> workingFolder;
    };

    void openAddress(QWidget* owner, const QString& verb, const QString& address,
                     const std::optional<QString>& parameters, const std::optional<QString>& workingFolder) override
    {
        opened.push_back({owner, verb, address, parameters, workingFolder});
    }
    bool startProgram(const QString& path) override
    {
        started.push_back(path);
        return startSucceeds;
    }
    bool fileExists(const QString& path) override
    {
        fileTests.push_back(path);
        return files.count(path) != 0;
    }

    std::vector<Opened> opened;
    std::vector<QString> started;
    std::vector<QString> fileTests;
    std::set<QString> files; // paths that exist, as they stand
    bool startSucceeds = true;
};

} // namespace zebrix::test
