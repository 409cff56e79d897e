#pragma once
// What the upload workbook needs to know about the columns of a table beyond their
// names: which ones hold dates and which ones numbers.
#include <QSet>
#include <QString>
#include <QStringList>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// The date/time columns of TZ_XIANGMU; in 修改日志 every column is plain text.
bool isDateColumn(const QString &table, const QString &column);

struct ColumnInfo {
    QString name;
    bool numeric = false; // REAL/INTEGER/NUMERIC: takes a number or nothing
    bool date = false;
};

// Every column of the table in stored order.
QList<ColumnInfo> tableColumns(Database &db, const QString &table);

// "A", "B", ... "Z", "AA", ...: the sheet's name for a 1-based column.
QString columnLetters(int column);

// An SQL identifier for a column name read from the table.
QString quotedName(const QString &name);

} // namespace kestrova::transfer
