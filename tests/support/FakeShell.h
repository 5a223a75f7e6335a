#pragma once
// A scripted shell: records the addresses opened and the programs started,
// finds the programs the test installs, and starts what the test allows.
#include "platform/Shell.h"

#include <map>
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
    QString findProgram(const QString& name) override
    {
        const auto found = programs.find(name);
        return found == programs.end() ? QString() : found->second;
    }

    std::vector<Opened> opened;
    std::vector<QString> started;
    std::map<QString, QString> programs; // name on the PATH -> full path
    bool startSucceeds = true;
};

} // namespace zebrix::test
