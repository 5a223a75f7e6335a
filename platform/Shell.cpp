#include "Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace zebrix {

QtShellService::QtShellService(QStringList searchPath)
    : searchPath_(std::move(searchPath))
{
}

void QtShellService::openAddress(
    QWidget*, const QString& verb, const QString& address, const std::optional<QString>&, const std::optional<QString>&)
{
    // Web and mail addresses only: the desktop's handler opens them in its
    // own process, so parameters and working folder have nothing to act on.
    if (verb.compare(QStringLiteral("Open"), Qt::CaseInsensitive) != 0)
        return;
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return;
    QDesktopServices::openUrl(url);
}

bool QtShellService::startProgram(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(path, QStringList());
}

QString QtShellService::findProgram(const QString& name)
{
    return name.isEmpty() ? QString() : QStandardPaths::findExecutable(name, searchPath_);
}

} // namespace zebrix
