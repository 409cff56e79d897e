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

void forEachSheetRow(Database &db, const QString &table, const std::function<void(const QStringList &cells)> &fn)
{
    const QList<ColumnInfo> columns = tableColumns(db, table);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM ") + quotedName(table));
    const int n = st.columnCount();
    if (n != columns.size())
        throw DbError(QStringLiteral("columns of %1 changed while it was read").arg(table));
    QStringList cells;
    cells.reserve(n);
    while (st.next()) {
        cells.clear();
        for (int i = 1; i < n; ++i) {
            if (columns[i].numeric) {
                const QVariant v = st.value(i);
                cells << (v.typeId() == QMetaType::Double ? numberText(v.toDouble()) : st.text(i));
            } else if (columns[i].date) {
                cells << dateText(st.text(i));
            } else {
                cells << st.text(i);
            }
        }
        fn(cells);
    }
}

} // namespace kestrova::transfer
