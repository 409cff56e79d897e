#pragma once
// A table as the upload workbook holds it: every column but the first, every value as
// text. Both the exporter and the import's round-trip checks read tables this way.
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// The column names of the table in stored order, without the first.
QStringList sheetHeader(Database &db, const QString &table);
// Number of rows "SELECT * FROM table" returns.
qint64 tableRowCount(Database &db, const QString &table);
// One row as the sheet holds it, without the table's first column.
struct SheetRow {
    // UTF-8 texts: NULL as empty text, numbers in the general format, dates as
    // yyyy-MM-dd or yyyy-MM-dd H:mm:ss.
    std::vector<std::string> texts;
    // Where a numeric column holds a number: the number itself, whose general format
    // is the text.
    std::vector<double> numbers;
    std::vector<char> isNumber;
};
// Calls fn with each row of "SELECT * FROM table" in the order the query returns them.
void forEachSheetRow(Database &db, const QString &table, const std::function<void(const SheetRow &row)> &fn);

} // namespace kestrova::transfer
