#include "data/database_files.h"

#include "data/app_home.h"

#include <QFile>

#include <filesystem>
#include <sys/stat.h>

namespace kestrova {

namespace {

namespace fs = std::filesystem;

fs::path nativePath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

// The path with every symbolic link resolved, the last one too even when what it points
// to does not exist yet, and ".", ".." and doubled slashes gone.
fs::path resolved(const fs::path &given)
{
    std::error_code ec;
    fs::path path = fs::absolute(given, ec);
    if (ec)
        return given.lexically_normal();
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        const fs::path to = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    const fs::path out = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : out;
}

struct Identity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
};

Identity identityOf(const fs::path &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino};
}

bool sameFile(const fs::path &target, const Identity &targetId, const fs::path &other)
{
    if (resolved(target) == resolved(other))
        return true;
    const Identity o = identityOf(other);
    return targetId.exists && o.exists && targetId.device == o.device && targetId.inode == o.inode;
}

} // namespace

const QStringList &companionSuffixes()
{
    static const QStringList s{QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};
    return s;
}

bool isDatabaseFile(const QString &target, const QString &databaseFile)
{
    if (target.isEmpty() || databaseFile.isEmpty())
        return false;
    const fs::path t = nativePath(target);
    const Identity id = identityOf(t);
    const fs::path db = nativePath(databaseFile);
    // SQLite names the companions after the file the path leads to, older versions after
    // the path as given; both are covered.
    const fs::path realDb = resolved(db);
    if (sameFile(t, id, db))
        return true;
    for (const QString &suffix : companionSuffixes()) {
        const std::string s = QFile::encodeName(suffix).toStdString();
        if (sameFile(t, id, fs::path(db.native() + s)) || sameFile(t, id, fs::path(realDb.native() + s)))
            return true;
    }
    return false;
}

void refuseDatabaseTarget(const QString &target, const QString &databaseFile)
{
    if (isDatabaseFile(target, databaseFile.isEmpty() ? databasePath() : databaseFile))
        throw FileError(QStringLiteral("所选文件是本系统的数据库（或它的日志文件），写入会毁掉全部记录，"
                                       "所以没有写入。请另选一个文件名。"),
                        target);
}

} // namespace kestrova
