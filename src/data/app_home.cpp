#include "data/app_home.h"

#include "data/context.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrova {

namespace {
struct Places {
    QString executableDir; // with '/', empty until set
    bool homeGiven = false;
};

Places &places()
{
    static Places p;
    return p;
}

QString withSlash(const QString &dir)
{
    QString d = QDir::cleanPath(QDir(dir).absolutePath());
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

// The folders shipped files are looked for in, first match wins.
QStringList shippedFolders()
{
    QStringList folders;
    if (places().homeGiven || places().executableDir.isEmpty())
        folders << context().appDir;
    if (!places().executableDir.isEmpty()) {
        folders << places().executableDir;
        folders << withSlash(places().executableDir + QStringLiteral("../share/kestrova"));
    }
    return folders;
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

QString defaultDataDirectory()
{
    return withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/kestrova"));
}

void setApplicationDirectory(const QString &home, const QString &executableDir)
{
    places().executableDir = executableDir.isEmpty() ? QString() : withSlash(executableDir);
    places().homeGiven = !home.isEmpty();
    context().appDir = home.isEmpty() ? defaultDataDirectory() : withSlash(home);
}

bool makeApplicationDirectory()
{
    return QDir().mkpath(context().appDir) && QFileInfo(context().appDir).isDir();
}

QString databasePath()
{
    return context().appDir + QStringLiteral("vardo.db");
}

QString shippedFile(const QString &relativePath)
{
    const QStringList folders = shippedFolders();
    for (const QString &folder : folders)
        if (QFileInfo::exists(folder + relativePath))
            return folder + relativePath;
    // A missing file is named where the program's files are: the share folder of an
    // installed program, else beside the executable.
    if (places().executableDir.isEmpty())
        return context().appDir + relativePath;
    const QString share = folders.constLast();
    return (QFileInfo(share).isDir() ? share : places().executableDir) + relativePath;
}

QString templateDirectory()
{
    return QFileInfo(shippedFile(QStringLiteral("templet"))).absolutePath() + QLatin1Char('/');
}

} // namespace kestrova
