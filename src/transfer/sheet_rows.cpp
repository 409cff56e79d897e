#include "transfer/sheet_rows.h"

#include "data/database.h"
#include "transfer/cell_text.h"
#include "transfer/transfer_columns.h"

namespace kestrova::transfer {

QStringList sheetHeader(Database &db, const QString &table)
{
    return db.columns(table).mid(1);
}

qint64 tableRowCount(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM ") + quotedName(table)).toLongLong();
}

void forEachSheetRow(Database &db, const QString &table, const std::function<void(const SheetRow &row)> &fn)
{
    const QList<ColumnInfo> columns = tableColumns(db, table);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM ") + quotedName(table));
    const int n = st.columnCount();
    if (n != columns.size())
        throw DbError(QStringLiteral("读取表“%1”时它的列变了，请重试。").arg(table));
    const size_t width = size_t(n > 0 ? n - 1 : 0);
    SheetRow row;
    row.texts.resize(width);
    row.numbers.assign(width, 0);
    row.isNumber.assign(width, 0);
    while (st.next()) {
        for (int i = 1; i < n; ++i) {
            std::string &cell = row.texts[size_t(i - 1)];
            cell.clear();
            row.isNumber[size_t(i - 1)] = 0;
            const Statement::Type type = st.type(i);
            if (type == Statement::Type::Null)
                continue;
            if (columns[i].numeric && type == Statement::Type::Real) {
                const double v = st.number(i);
                appendNumberText(cell, v);
                row.numbers[size_t(i - 1)] = v;
                row.isNumber[size_t(i - 1)] = 1;
            } else if (columns[i].date)
                cell = dateText(st.text(i)).toStdString();
            else if (type == Statement::Type::Real)
                cell = st.text(i).toStdString(); // the general format, as text() gives it
            else
                cell.assign(st.utf8(i));
        }
        fn(row);
    }
}

} // namespace kestrova::transfer
