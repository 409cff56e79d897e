#include "reports/summary/summary_header.h"

#include "data/database.h"
#include "data/task_record.h"

namespace kestrova {

QString tabulatingUnit(Database &db)
{
    return db.scalar(QStringLiteral("select f2 from userinfo order by rowid limit 1"));
}

QString tabulationDate(const QDate &d)
{
    return QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
}

QString summaryYear(Database &db)
{
    const auto task = loadTask(db);
    return task ? task->year : QString();
}

} // namespace kestrova
