#include "Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zebrix {

QString Module1::AddBackslash(const QString& path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

bool Module1::FileExists(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (name.isEmpty())
        return false;

    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        if (name.startsWith(QLatin1Char('.')))
            return false;
        return QFileInfo(path).isFile();
    }

    // A pattern: only "*" and "?" are special, every other character stands
    // for itself.
    QString expression;
    for (const QChar c : name) {
        if (c == QLatin1Char('*'))
            expression += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            expression += QLatin1Char('.');
        else
            expression += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(expression),
                                     QRegularExpression::DotMatchesEverythingOption);
    const QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (!entry.startsWith(QLatin1Char('.')) && pattern.match(entry).hasMatch())
            return true;
    return false;
}

} // namespace zebrix
