#pragma once
// The desktop's shell, finding programs on the path it is given, that records
// the programs started instead of starting them, and succeeds as told.
#include "platform/Shell.h"

#include <vector>

namespace zebrix::test {

struct FakeShell : QtShellService {
    using QtShellService::QtShellService;
    bool startProgram(const QString& path) override { return started.push_back(path), startSucceeds; }
    std::vector<QString> started;
    bool startSucceeds = true;
};

} // namespace zebrix::test
