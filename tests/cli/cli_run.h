#pragma once
// Runs kestrova-cli as a child process and captures what it says.
#include <QProcess>
#include <QStringList>

namespace kestrova::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliResult runCli(const QString &home, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli"), QStringList{"--home", home} + args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace kestrova::test
