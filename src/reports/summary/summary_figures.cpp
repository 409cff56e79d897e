#include "reports/summary/summary_figures.h"

#include "data/database.h"

namespace kestrova {

QString summarySql(const SqlCondition &condition)
{
    static const QString head = [] {
        QString sql = QStringLiteral("select count(*) as A");
        for (const Indicator &ind : kIndicators)
            sql += QStringLiteral(", sum(\"%1\") as a%2").arg(QString::fromUtf8(ind.column.data(), qsizetype(ind.column.size())))
                       .arg(ind.k);
        return sql + QStringLiteral(" from TZ_XIANGMU");
    }();
    return head + condition.sql;
}

SummaryFigures summaryFigures(Database &db, const SqlCondition &condition)
{
    // Count and sums come from one pass over the records.
    Statement st = db.prepare(summarySql(condition));
    for (int i = 0; i < condition.params.size(); ++i)
        st.bind(i + 1, condition.params[i]);
    SummaryFigures f;
    if (st.next()) {
        f.count = st.text(0);
        for (int k = 1; k <= kIndicatorCount; ++k)
            f.sums[size_t(k - 1)] = st.text(k);
    }
    return f;
}

} // namespace kestrova
