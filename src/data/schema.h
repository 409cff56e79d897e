#pragma once
// Tables and columns of the database, in their fixed order, and the code that
// creates them with the reference data when the database file is new.
#include <QString>
#include <QStringList>

namespace kestrova {

class Database;

namespace tables {
inline const QString records = QStringLiteral("TZ_XIANGMU");
inline const QString changeLog = QStringLiteral("修改日志");
inline const QString task = QStringLiteral("任务信息");
inline const QString users = QStringLiteral("userinfo");
inline const QString submissions = QStringLiteral("报送记录");
} // namespace tables

// The 16 identity columns of TZ_XIANGMU (positions 2..17), in order.
const QStringList &identityColumns();
// The four columns of the form's closing lines (positions 90..93).
const QStringList &closingColumns();
// All 95 columns of TZ_XIANGMU in table order, ID first.
const QStringList &recordColumns();
// The 11 columns of 修改日志 and the 17 of 任务信息, in order.
const QStringList &changeLogColumns();
const QStringList &taskColumns();
// The columns of 报送记录, one row per imported workbook, after its ID.
namespace submission {
inline const QString file = QStringLiteral("文件名");
inline const QString hash = QStringLiteral("文件哈希");
inline const QString time = QStringLiteral("导入时间");
inline const QString offices = QStringLiteral("覆盖区划");
inline const QString rows = QStringLiteral("行数");
inline const QString replaced = QStringLiteral("替换数");
inline const QString added = QStringLiteral("新增数");
inline const QString user = QStringLiteral("操作人");
} // namespace submission
// The indexes of TZ_XIANGMU: name and column. An import of many records drops and
// rebuilds them.
struct RecordIndex {
    QString name;
    QString column;
};
const QList<RecordIndex> &recordIndexes();
// "CREATE INDEX IF NOT EXISTS …" for one of them.
QString createIndexSql(const RecordIndex &index);
// Tables a database of this program must hold.
const QStringList &requiredTables();

// Creates every table and index, empty. The one definition of the schema: a database is
// this program's when its tables, columns and indexes are what this makes (schema_check.h).
void createTables(Database &db);
// Tables added to the schema after databases, and so backups, existed without them: a
// database lacking one is still this program's, and gets it empty (completeSchema).
const QStringList &laterTables();
// createTables and the reference data, in one transaction.
void createSchema(Database &db, int currentYear);
// Throws DbError naming the first missing table when the database is not ours.
void verifySchema(Database &db);

} // namespace kestrova
