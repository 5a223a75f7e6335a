#pragma once
// The desktop shell behind a small seam: open an address (web page, mail)
// with the program that handles it, find a program on the PATH, and start a
// program by its path.
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace zebrix {

class ShellService {
public:
    virtual ~ShellService() = default;

    // Asks the desktop to act on `address` with `verb` ("Open"), `owner`
    // being the window that asks. `parameters` and `workingFolder` are passed
    // for programs that take them; std::nullopt means none at all. Whether
    // the address could be opened is not reported.
    virtual void openAddress(QWidget* owner, const QString& verb, const QString& address,
        const std::optional<QString>& parameters, const std::optional<QString>& workingFolder)
        = 0;

    // Starts the program at `path` as it stands (no shell, no arguments) in a
    // normal window and returns at once without waiting for it. False when it
    // could not be started.
    virtual bool startProgram(const QString& path) = 0;

    // The full path of the executable file `name` in the first folder of the
    // PATH that has one; empty when none has.
    virtual QString findProgram(const QString& name) = 0;
};

// The real thing: QDesktopServices for addresses, a detached QProcess for programs.
class QtShellService : public ShellService {
public:
    // Programs are looked for in `searchPath`, or on the PATH when it is empty.
    explicit QtShellService(QStringList searchPath = {});

    void openAddress(QWidget* owner, const QString& verb, const QString& address,
        const std::optional<QString>& parameters, const std::optional<QString>& workingFolder) override;
    bool startProgram(const QString& path) override;
    QString findProgram(const QString& name) override;

private:
    QStringList searchPath_;
};

} // namespace zebrix
