#include "data/app_home.h"

#include "data/context.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {
QString &executableDirectory()
{
    static QString dir;
    return dir;
}

QString withSlash(const QString &dir)
{
    QString d = QDir::cleanPath(QDir(dir).absolutePath());
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}
} // namespace

QString takeHomeOption(QStringList &args)
{
    QString home;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            home = args[i + 1];
            args.remove(i, 2);
            --i;
        } else if (args[i].startsWith(QLatin1String("--home="))) {
            home = args[i].mid(7);
            args.remove(i);
            --i;
        }
    }
    return home;
}

void setApplicationDirectory(const QString &home, const QString &executableDir)
{
    executableDirectory() = withSlash(executableDir);
    context().appDir = home.isEmpty() ? executableDirectory() : withSlash(home);
}

QString databasePath()
{
    return context().appDir + QStringLiteral("vardo.db");
}

QString shippedFile(const QString &relativePath)
{
    const QString inHome = context().appDir + relativePath;
    if (QFileInfo::exists(inHome) || executableDirectory().isEmpty())
        return inHome;
    return executableDirectory() + relativePath;
}

QString templateDirectory()
{
    return QFileInfo(shippedFile(QStringLiteral("templet"))).absolutePath() + QLatin1Char('/');
}

} // namespace kestrova
