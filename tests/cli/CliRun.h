#pragma once
// Runs zebrix-cli as a user would, with standard input when given.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace zebrix::test {

struct CliRun {
    int status;
    QString err;
    QString out;
};

inline CliRun RunZebrixCli(const QStringList& args, const QByteArray& input = {},
                           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZEBRIX_CLI), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError()),
            QString::fromUtf8(p.readAllStandardOutput())};
}

} // namespace zebrix::test
