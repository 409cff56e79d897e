#include "records/record_log.h"

#include "data/database.h"
#include "data/datetime_text.h"

#include <algorithm>

namespace kestrova {

std::vector<LogEntry> recordLog(Database &db, const QString &name, const QString &orgCode)
{
    const QString org = orgCode.trimmed();
    Statement st = db.prepare(QStringLiteral(
        "SELECT rowid, 修改项目, 原值, 新值, 修改时间 FROM 修改日志 WHERE 企业名称=?1 OR (?2<>'' AND 组织机构代码=?2)"));
    st.bindText(1, name);
    st.bindText(2, org);
    struct Row {
        qint64 order;
        QDateTime when;
        LogEntry entry;
    };
    std::vector<Row> rows;
    while (st.next())
        rows.push_back({st.value(0).toLongLong(), parseStoredDateTime(st.text(4)),
                        {st.text(1), st.text(2), st.text(3), st.text(4)}});
    // Newest first; a time that cannot be read counts as older than any that can.
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (a.when.isValid() != b.when.isValid())
            return a.when.isValid();
        if (a.when != b.when)
            return a.when > b.when;
        return a.order > b.order;
    });
    std::vector<LogEntry> out;
    out.reserve(rows.size());
    for (Row &r : rows)
        out.push_back(std::move(r.entry));
    return out;
}

} // namespace kestrova
