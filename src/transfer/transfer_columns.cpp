#include "transfer/transfer_columns.h"

#include "data/database.h"
#include "data/schema.h"

namespace kestrova::transfer {

bool isDateColumn(const QString &table, const QString &column)
{
    if (table.compare(tables::records, Qt::CaseInsensitive) != 0)
        return false;
    return column == QStringLiteral("填报日期") || column == QStringLiteral("修改时间");
}

QList<ColumnInfo> tableColumns(Database &db, const QString &table)
{
    // The declared types tell numbers from text; the order is the table's own.
    Statement st = db.prepare(QStringLiteral("SELECT name, upper(type) FROM pragma_table_info(?1) ORDER BY cid"));
    st.bindText(1, table);
    QList<ColumnInfo> out;
    while (st.next()) {
        ColumnInfo c;
        c.name = st.text(0);
        const QString type = st.text(1);
        c.numeric = type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("INT")) ||
                    type.contains(QLatin1String("NUM")) || type.contains(QLatin1String("DOUB")) ||
                    type.contains(QLatin1String("FLOA"));
        c.date = isDateColumn(table, c.name);
        out << c;
    }
    if (out.isEmpty())
        throw DbError(QStringLiteral("数据库中没有表“%1”，不是本系统的数据库。").arg(table));
    return out;
}

QString columnLetters(int column)
{
    QString s;
    for (int n = column; n > 0; n = (n - 1) / 26)
        s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

QString quotedName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace kestrova::transfer
