#pragma once
// 数据备份 and 数据恢复: whole-database copies made with SQLite's online backup, so a
// copy is always a complete, consistent database, and a restore replaces the live
// file only by an atomic rename once the new one has been checked.
#include <QString>

#include <stdexcept>

namespace kestrova {

class Database;

class CopyError : public std::runtime_error {
public:
    enum class Kind {
        WrongType, // the path does not end in "bak"
        NotOurs,   // not a database of this program
        Damaged,   // a database, but damaged
        Locked,    // another program holds the database
        ReadOnly,  // the database file may not be replaced
        Refused,   // the target is the database itself
        Failed     // reading or writing failed
    };
    // cause: what happened, said for the user, with the detail on a second line. It names
    // the user's own files only, never a temporary.
    CopyError(Kind kind, const QString &cause);
    Kind kind() const { return m_kind; }
    QString cause() const { return m_cause; }

private:
    Kind m_kind;
    QString m_cause;
};

// "备份-" + 填报单位 + "-" + 年份 of the task record; empty parts stay empty.
QString backupBaseName(Database &db);

// Copies the database into target (replacing it only when the copy is complete). Refuses
// a damaged database, a target that is the database or one of its companions, and a
// read-only target, before anything is written. The copy uses the rollback journal.
void backupDatabase(Database &db, const QString &target);

// Whether the restore accepts this path by name: its last three characters are "bak".
bool hasBackupSuffix(const QString &path);

// Replaces the database file at databaseFile with the backup at source. The source is
// copied beside the database and checked (exactly this program's tables, columns and
// indexes, no triggers or views, integrity_check); tables the schema gained since the
// backup was made are added. The copy is made durable and renamed over the database while
// the old one is held, so no other program is in it, and with no journal, -wal or -shm of
// the old file left to be played into the new one. A read-only database file is not
// replaced. On any failure the database file stays as it was. Throws CopyError.
void restoreDatabase(const QString &source, const QString &databaseFile);

} // namespace kestrova
