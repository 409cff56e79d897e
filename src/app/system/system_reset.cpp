#include "app/system/system_reset.h"

#include "data/database.h"
#include "data/schema.h"

namespace kestrova {

const QStringList &resetTables()
{
    static const QStringList t{tables::users, tables::records, tables::task, tables::changeLog};
    return t;
}

QList<QPair<QString, int>> resetSystem(Database &db)
{
    // Table names are the program's own constants, never user text.
    QList<QPair<QString, int>> deleted;
    Transaction tx(db);
    for (const QString &table : resetTables()) {
        db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(table));
        deleted.append({table, db.changes()});
    }
    tx.commit();
    return deleted;
}

} // namespace kestrova
