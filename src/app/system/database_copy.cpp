#include "app/system/database_copy.h"

#include "data/database.h"
#include "data/database_files.h"
#include "data/schema_check.h"
#include "data/task_record.h"
#include "xls/temporary_file.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <memory>
#include <system_error>

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

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromNative(const std::string &path)
{
    return QFile::decodeName(path.c_str());
}

QString lines(const QString &what, const QString &detail)
{
    return what + QLatin1Char('\n') + detail;
}

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString sqliteMessage(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

[[noreturn]] void writeFailed(const QString &file, const std::system_error &e)
{
    const QString detail = QString::fromStdString(e.code().message()) + QStringLiteral("：") + file;
    if (e.code() == std::errc::permission_denied)
        throw CopyError(CopyError::Kind::ReadOnly,
                        lines(QStringLiteral("文件是只读的，不能写入。请取消它的只读属性，或另选一个文件。"), detail));
    throw CopyError(CopyError::Kind::Failed,
                    lines(QStringLiteral("无法写入文件。请检查磁盘空间和文件所在目录的权限。"), detail));
}

// Copies every page of src into the empty file destPath. Messages name sourceName and
// targetName, the user's own files, never the temporary being written.
void copyPages(sqlite3 *src, const QString &sourceName, const QString &destPath, const QString &targetName)
{
    Handle dest;
    if (sqlite3_open_v2(destPath.toUtf8().constData(), &dest.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw CopyError(CopyError::Kind::Failed,
                        lines(QStringLiteral("无法写入文件。"), sqliteMessage(dest.db) + QStringLiteral("：") + targetName));
    sqlite3_backup *backup = sqlite3_backup_init(dest.db, "main", src, "main");
    if (!backup)
        throw CopyError(CopyError::Kind::Failed,
                        lines(QStringLiteral("无法写入文件。"), sqliteMessage(dest.db) + QStringLiteral("：") + targetName));
    int rc = SQLITE_OK;
    const int delay = stepDelayMs();
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        rc = sqlite3_backup_step(backup, delay > 0 ? 1 : kPagesPerStep);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
        else if (delay > 0 && rc == SQLITE_OK)
            QThread::msleep(static_cast<unsigned long>(delay));
    }
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE)
        return;
    const QString text = QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        throw CopyError(CopyError::Kind::NotOurs,
                        lines(QStringLiteral("“%1”不是本系统的数据库。").arg(nameOf(sourceName)),
                              text + QStringLiteral("：") + sourceName));
    case SQLITE_CORRUPT:
        throw CopyError(CopyError::Kind::Damaged, lines(QStringLiteral("“%1”已损坏。").arg(nameOf(sourceName)),
                                                        text + QStringLiteral("：") + sourceName));
    case SQLITE_FULL:
        throw CopyError(CopyError::Kind::Failed, lines(QStringLiteral("磁盘已满，无法写入。请腾出磁盘空间后再试。"),
                                                       text + QStringLiteral("：") + targetName));
    default:
        throw CopyError(CopyError::Kind::Failed,
                        lines(QStringLiteral("无法写入文件。"), text + QStringLiteral("：") + targetName));
    }
}

// The first line of integrity_check's verdict, "ok" for a sound database.
QString integrityVerdict(Database &db)
{
    return db.scalar(QStringLiteral("PRAGMA integrity_check")).section(QLatin1Char('\n'), 0, 0);
}

// The copy at path must be a sound database of exactly this program before it may replace
// anything. Opening it sets the rollback journal, whatever mode the backup was made in.
void checkRestorable(const QString &path, const QString &source)
{
    try {
        Database db(path, Database::Mode::OpenExisting);
        const QStringList differences = schemaDifferences(db);
        if (!differences.isEmpty()) {
            constexpr int kShown = 8;
            QString detail = differences.mid(0, kShown).join(QStringLiteral("；"));
            if (differences.size() > kShown)
                detail += QStringLiteral("，共 %1 处不同").arg(differences.size());
            throw CopyError(CopyError::Kind::NotOurs,
                            lines(QStringLiteral("“%1”不是本系统的数据库，不能用来恢复。").arg(nameOf(source)), detail));
        }
        const QString verdict = integrityVerdict(db);
        if (verdict != QLatin1String("ok"))
            throw CopyError(CopyError::Kind::Damaged,
                            lines(QStringLiteral("“%1”已损坏，不能用来恢复。请换一份备份。").arg(nameOf(source)), verdict));
        completeSchema(db);
    } catch (const DbError &e) {
        const bool damaged = e.kind() == DbError::Kind::Damaged;
        QString detail = e.detail();
        detail.replace(path, source);
        throw CopyError(damaged ? CopyError::Kind::Damaged : CopyError::Kind::NotOurs,
                        lines(QStringLiteral("“%1”%2，不能用来恢复。")
                                  .arg(nameOf(source), damaged ? QStringLiteral("已损坏") : QStringLiteral("不是本系统的数据库")),
                              detail));
    }
}

// The old database, held while its file is replaced: what a killed writer left in its
// journal or WAL is settled into it, no other program is in it, and none of its
// companion files is left to be played into the new file under the same name.
class HeldDatabase {
public:
    explicit HeldDatabase(const QString &file)
    {
        if (QFileInfo::exists(file)) {
            try {
                m_db = std::make_unique<Database>(file, Database::Mode::OpenExisting);
                m_db->exec(QStringLiteral("BEGIN EXCLUSIVE"));
            } catch (const DbError &e) {
                if (e.kind() == DbError::Kind::Locked)
                    throw CopyError(CopyError::Kind::Locked,
                                    lines(QStringLiteral("数据库正被另一个程序使用，不能恢复。请关闭那个程序后再试。"),
                                          e.detail()));
                m_db.reset(); // a damaged old file is just what the restore replaces
            }
        }
        for (const QString &suffix : companionSuffixes()) {
            const QString companion = file + suffix;
            if (QFileInfo::exists(companion) && !QFile::remove(companion))
                throw CopyError(CopyError::Kind::Failed,
                                lines(QStringLiteral("无法删除旧数据库留下的文件，没有恢复。请检查目录的权限。"), companion));
        }
    }
    ~HeldDatabase()
    {
        if (!m_db)
            return;
        try {
            m_db->exec(QStringLiteral("ROLLBACK"));
        } catch (const DbError &) {
            // Closing the connection ends the transaction as well.
        }
    }
    HeldDatabase(const HeldDatabase &) = delete;
    HeldDatabase &operator=(const HeldDatabase &) = delete;

private:
    std::unique_ptr<Database> m_db;
};

} // namespace

QString backupBaseName(Database &db)
{
    const auto task = loadTask(db);
    return QStringLiteral("备份-") + (task ? task->reportingUnit : QString()) + QStringLiteral("-") +
           (task ? task->year : QString());
}

void backupDatabase(Database &db, const QString &target)
{
    try {
        refuseDatabaseTarget(target);
        refuseDatabaseTarget(target, db.path());
    } catch (const FileError &e) {
        throw CopyError(CopyError::Kind::Refused, e.message());
    }
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isFile())
        throw CopyError(CopyError::Kind::Failed, lines(QStringLiteral("所选的不是普通文件，不能写入备份。"), target));
    // A damaged database would give a backup that the restore refuses; the user must
    // hear now that this one cannot serve.
    QString verdict;
    try {
        verdict = integrityVerdict(db);
    } catch (const DbError &e) {
        verdict = e.detail();
    }
    if (verdict != QLatin1String("ok"))
        throw CopyError(CopyError::Kind::Damaged,
                        lines(QStringLiteral("数据库文件已损坏，不能备份。请恢复最近的一份备份。"), verdict));
    try {
        // The copy takes the rollback journal from the connection it is made from.
        xls::TemporaryFile temp(native(target));
        copyPages(db.handle(), db.path(), fromNative(temp.path()), target);
        temp.commit();
    } catch (const std::system_error &e) {
        writeFailed(target, e);
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
    const QFileInfo info(source);
    if (!info.exists())
        throw CopyError(CopyError::Kind::Failed, lines(QStringLiteral("找不到备份文件。"), source));
    if (!info.isFile())
        throw CopyError(CopyError::Kind::Failed, lines(QStringLiteral("所选的不是普通文件，不能用来恢复。"), source));
    if (isDatabaseFile(source, databaseFile))
        throw CopyError(CopyError::Kind::Refused, lines(QStringLiteral("不能用数据库文件本身来恢复。"), source));
    try {
        xls::checkWritable(native(databaseFile));
    } catch (const std::system_error &) {
        throw CopyError(CopyError::Kind::ReadOnly,
                        lines(QStringLiteral("数据库文件是只读的，不能用备份替换。请取消它的只读属性后再试。"), databaseFile));
    }
    try {
        xls::TemporaryFile temp(native(databaseFile));
        const QString copy = fromNative(temp.path());
        {
            Handle src;
            if (sqlite3_open_v2(source.toUtf8().constData(), &src.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
                throw CopyError(CopyError::Kind::Failed, lines(QStringLiteral("无法读取备份文件。"),
                                                               sqliteMessage(src.db) + QStringLiteral("：") + source));
            copyPages(src.db, source, copy, databaseFile);
        }
        checkRestorable(copy, source);
        HeldDatabase old(databaseFile);
        temp.commit();
    } catch (const std::system_error &e) {
        writeFailed(databaseFile, e);
    }
}

} // namespace kestrova
