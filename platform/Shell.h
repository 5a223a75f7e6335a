#pragma once
// The desktop shell behind a small seam: open an address (web page, mail)
// with the program that handles it, start a program by its path, and tell
// whether a program file is there.
#include <QString>

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
                             const std::optional<QString>& parameters,
                             const std::optional<QString>& workingFolder) = 0;

    // Starts the program at `path` as it stands (no shell, no arguments) in a
    // normal window and returns at once without waiting for it. False when it
    // could not be started.
    virtual bool startProgram(const QString& path) = 0;

    // True when `path`, taken as it stands, names an existing file.
    virtual bool fileExists(const QString& path) = 0;
};

// The real thing: QDesktopServices for addresses, a detached QProcess for programs.
class QtShellService : public ShellService {
public:
    void openAddress(QWidget* owner, const QString& verb, const QString& address,
                     const std::optional<QString>& parameters, const std::optional<QString>& workingFolder) override;
    bool startProgram(const QString& path) override;
    bool fileExists(const QString& path) override;
};

} // namespace zebrix
