#include "records/list_query.h"

#include "data/database.h"
#include "data/number_format.h"

#include <QSet>

#include <algorithm>

namespace kestrova {

ListCondition listCondition(const ListFilter &f)
{
    ListCondition out;
    SqlCondition &c = out.condition;
    auto like = [&](const QString &column, const QString &text) {
        const QString v = text.trimmed();
        if (v.isEmpty())
            return;
        c.sql += QStringLiteral(" and ") + likeClause(column);
        c.params << containsPattern(v);
    };
    auto bound = [&](const QString &text, const char *op) {
        if (text.isEmpty() || !out.error.isEmpty())
            return;
        const auto n = parseNumber(text);
        if (!n) {
            out.error = QStringLiteral("仓容合计只能填写数字！");
            return;
        }
        c.sql += QStringLiteral(" and \"仓容合计\"") + QLatin1String(op) + QLatin1Char('?');
        c.params << *n;
    };
    like(QStringLiteral("省"), f.province);
    like(QStringLiteral("企业性质"), f.ownership);
    like(QStringLiteral("经营范围"), f.business);
    like(QStringLiteral("企业名称"), f.name);
    bound(f.capacityFrom, ">=");
    bound(f.capacityTo, "<=");
    like(QStringLiteral("隶属关系"), f.affiliation);
    const auto from = parseNumber(f.capacityFrom), to = parseNumber(f.capacityTo);
    if (out.error.isEmpty() && from && to && *from > *to)
        out.error = QStringLiteral("仓容合计的起点%1大于终点%2，请重新填写！").arg(f.capacityFrom.trimmed(), f.capacityTo.trimmed());
    if (!out.error.isEmpty())
        out.condition = {};
    return out;
}

std::vector<ListRow> listRows(Database &db, const SqlCondition &condition)
{
    Statement st = db.prepare(QStringLiteral("SELECT ID, 企业性质, 省, 经营范围, 企业名称, 校验状态 FROM TZ_XIANGMU WHERE 1") +
                              condition.sql +
                              // Sorting the rows read beats walking the 修改时间 index with a
                              // look-up into the wide table for every row.
                              QStringLiteral(" ORDER BY +修改时间 DESC, ID DESC"));
    for (int i = 0; i < condition.params.size(); ++i)
        st.bind(i + 1, condition.params[i]);
    std::vector<ListRow> rows;
    while (st.next())
        rows.push_back({st.value(0).toLongLong(), st.text(1), st.text(2), st.text(3), st.text(4),
                        st.text(5) == QStringLiteral("1")});
    return rows;
}

QStringList recordProvinces(Database &db)
{
    Statement st = db.prepare(QStringLiteral("SELECT 省 FROM TZ_XIANGMU GROUP BY 省"));
    QStringList out;
    while (st.next())
        out << st.text(0);
    return out;
}

QStringList provincesOf(const std::vector<ListRow> &rows)
{
    QSet<QString> seen;
    for (const ListRow &r : rows)
        seen.insert(r.province);
    QStringList out(seen.begin(), seen.end());
    // Code point order, which is the byte order the database groups text by.
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) { return a.toUcs4() < b.toUcs4(); });
    return out;
}

int deleteRecordsNamed(Database &db, const QString &name)
{
    db.exec(QStringLiteral("DELETE FROM TZ_XIANGMU WHERE 企业名称=?1"), {name});
    return db.changes();
}

int deleteNamelessRecords(Database &db)
{
    db.exec(QStringLiteral("DELETE FROM TZ_XIANGMU WHERE 企业名称 IS NULL OR 企业名称=''"));
    return db.changes();
}

} // namespace kestrova
