#include "Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace zebrix {

void QtShellService::openAddress(QWidget*, const QString& verb, const QString& address,
                                 const std::optional<QString>&, const std::optional<QString>&)
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

bool QtShellService::fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace zebrix
