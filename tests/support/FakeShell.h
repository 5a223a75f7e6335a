#pragma once
// A shell that records the addresses opened and the programs started, starting
// what the test allows; it finds programs as the desktop does, on its path.
#include "platform/Shell.h"

#include <vector>

namespace zebrix::test {

struct FakeShell : QtShellService {
    using QtShellService::QtShellService;
    struct Opened {
        QWidget* owner;
        QString verb, address;
        std::optional<QString> parameters, workingFolder;
    };
    void openAddress(QWidget* owner, const QString& verb, const QString& address, const std::optional<QString>& parameters,
                     const std::optional<QString>& workingFolder) override
    {
        opened.push_back({owner, verb, address, parameters, workingFolder});
    }
    bool startProgram(const QString& path) override { return started.push_back(path), startSucceeds; }
    std::vector<Opened> opened;
    std::vector<QString> started;
    bool startSucceeds = true;
};

} // namespace zebrix::test
