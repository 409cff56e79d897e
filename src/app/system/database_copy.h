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
        NotOurs,   // not a database of this program, or damaged
        Failed     // reading or writing failed
    };
    CopyError(Kind kind, const QString &cause);
    Kind kind() const { return m_kind; }
    QString cause() const { return m_cause; }

private:
    Kind m_kind;
    QString m_cause;
};

// "备份-" + 填报单位 + "-" + 年份 of the task record; empty parts stay empty.
QString backupBaseName(Database &db);

// Copies the database into target (replacing it only when the copy is complete).
void backupDatabase(Database &db, const QString &target);

// Whether the restore accepts this path by name: its last three characters are "bak".
bool hasBackupSuffix(const QString &path);

// Replaces the database file at databaseFile with the backup at source. The source is
// copied beside the database, checked (this program's tables, integrity_check) and
// made durable before it is renamed over the database; on any failure the database
// file stays as it was. Throws CopyError.
void restoreDatabase(const QString &source, const QString &databaseFile);

} // namespace kestrova
