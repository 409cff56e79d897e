#include "app/system/database_copy.h"

#include "data/database.h"
#include "data/schema.h"
#include "data/task_record.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova {

CopyError::CopyError(Kind kind, const QString &cause)
    : std::runtime_error(cause.toStdString()), m_kind(kind), m_cause(cause)
{
}

namespace {

// Pages copied per step; between steps the source may be read by others.
constexpr int kPagesPerStep = 64;

// Milliseconds to wait between copy steps. Only the crash-safety tests set it, to
// have time to kill a restore part-way.
int stepDelayMs()
{
    static const int ms = qEnvironmentVariableIntValue("KESTROVA_TEST_COPY_STEP_DELAY_MS");
    return ms;
}

struct Handle {
    sqlite3 *db = nullptr;
    ~Handle() { sqlite3_close(db); }
};

QString sqliteMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// Copies every page of src into a new database file at destPath.
void copyPages(sqlite3 *src, const QString &sourceName, const QString &destPath, int pageSize = kPagesPerStep)
{
    // A journal left by an interrupted earlier copy must not be played into the new file.
    QFile::remove(destPath);
    QFile::remove(destPath + QStringLiteral("-journal"));
    Handle dest;
    if (sqlite3_open_v2(destPath.toUtf8().constData(), &dest.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        throw CopyError(CopyError::Kind::Failed, sqliteMessage(dest.db) + QStringLiteral("：") + destPath);
    sqlite3_backup *backup = sqlite3_backup_init(dest.db, "main", src, "main");
    if (!backup)
        throw CopyError(CopyError::Kind::Failed, sqliteMessage(dest.db) + QStringLiteral("：") + destPath);
    int rc = SQLITE_OK;
    const int delay = stepDelayMs();
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        rc = sqlite3_backup_step(backup, delay > 0 ? 1 : pageSize);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
        else if (delay > 0 && rc == SQLITE_OK)
            QThread::msleep(static_cast<unsigned long>(delay));
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const QString cause = QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(dest.db);
        dest.db = nullptr;
        QFile::remove(destPath);
        const bool unreadable = rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
        throw CopyError(unreadable ? CopyError::Kind::NotOurs : CopyError::Kind::Failed,
                        cause + QStringLiteral("：") + (unreadable ? sourceName : destPath));
    }
}

void syncPath(const QString &path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0)
        throw CopyError(CopyError::Kind::Failed, QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral("：") + path);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        throw CopyError(CopyError::Kind::Failed, QString::fromLocal8Bit(std::strerror(err)) + QStringLiteral("：") + path);
}

void replaceFile(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw CopyError(CopyError::Kind::Failed, QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral("：") + to);
    syncPath(QFileInfo(to).absolutePath(), true);
}

// The new file must be a sound database of this program before it may replace anything.
void checkRestorable(const QString &path)
{
    try {
        Database db(path, Database::Mode::OpenExisting);
        verifySchema(db);
        const QString verdict = db.scalar(QStringLiteral("PRAGMA integrity_check"));
        if (verdict != QLatin1String("ok"))
            throw CopyError(CopyError::Kind::NotOurs, verdict);
    } catch (const DbError &e) {
        throw CopyError(CopyError::Kind::NotOurs, e.message());
    }
}

// A journal left by a process that died mid-write would be played back into whatever
// file next carries the database's name; settle it against the file it belongs to first.
void settleOldJournal(const QString &databaseFile)
{
    const QString journal = databaseFile + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    try {
        Database old(databaseFile, Database::Mode::OpenExisting);
    } catch (const DbError &) {
    }
    QFile::remove(journal);
}

} // namespace

QString backupBaseName(Database &db)
{
    const auto task = loadTask(db);
    return QStringLiteral("备份-") + (task ? task->reportingUnit : QString()) + QStringLiteral("-") +
           (task ? task->year : QString());
}

void backupDatabase(Database &db, const QString &target)
{
    // Written under a temporary name so an existing file is replaced only by a whole copy.
    const QString temp = target + QStringLiteral(".part");
    try {
        copyPages(db.handle(), db.path(), temp);
        syncPath(temp, false);
        replaceFile(temp, target);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

bool hasBackupSuffix(const QString &path)
{
    return path.endsWith(QLatin1String("bak"), Qt::CaseSensitive);
}

void restoreDatabase(const QString &source, const QString &databaseFile)
{
    if (!hasBackupSuffix(source))
        throw CopyError(CopyError::Kind::WrongType, source);
    if (!QFileInfo(source).isFile())
        throw CopyError(CopyError::Kind::Failed, QStringLiteral("文件不存在：") + source);
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(databaseFile).canonicalFilePath())
        throw CopyError(CopyError::Kind::Failed, QStringLiteral("不能用数据库文件本身恢复：") + source);

    const QString temp = databaseFile + QStringLiteral(".restore");
    try {
        {
            Handle src;
            if (sqlite3_open_v2(source.toUtf8().constData(), &src.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
                throw CopyError(CopyError::Kind::Failed, sqliteMessage(src.db) + QStringLiteral("：") + source);
            copyPages(src.db, source, temp);
        }
        checkRestorable(temp);
        syncPath(temp, false);
        settleOldJournal(databaseFile);
        replaceFile(temp, databaseFile);
    } catch (const CopyError &) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        throw;
    }
}

} // namespace kestrova
