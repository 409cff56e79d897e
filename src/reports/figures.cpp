#include "reports/figures.h"

#include "data/database.h"
#include "data/number_format.h"
#include "reports/report_error.h"

#include <algorithm>

namespace kestrova::reports {

AggregatePlan::AggregatePlan(const ReportDefinition &def)
{
    m_bands = def.scheme == Scheme::ScaleBands;
    const QList<Aggregate> aggregates = m_bands ? QList<Aggregate>{def.bandAggregate} : def.selectList;
    for (const auto &a : aggregates) {
        m_aliases << a.alias;
        if (a.fn == Aggregate::Fn::Count) {
            m_sources << -1;
            continue;
        }
        int i = int(m_columns.indexOf(a.column));
        if (i < 0) {
            m_columns << a.column;
            i = int(m_columns.size()) - 1;
        }
        m_sources << i;
    }
}

int AggregatePlan::sourceOf(const QString &alias) const
{
    const int i = int(m_aliases.indexOf(alias));
    if (i < 0)
        throw ReportError(QStringLiteral("报表定义中没有别名 %1").arg(alias));
    return m_sources[i];
}

GroupFigures::GroupFigures(const AggregatePlan &plan) : m_plan(&plan)
{
    Figures empty;
    empty.sums.assign(size_t(plan.columns().size()), 0.0);
    empty.present.assign(size_t(plan.columns().size()), 0);
    m_bands.assign(size_t(plan.bandCount()), empty);
}

void GroupFigures::add(const Statement &st, int firstValue, int capacityIndex)
{
    int inBand = 0;
    if (m_plan->bands())
        inBand = std::clamp(int(st.number(capacityIndex)), 0, 4);
    const size_t n = size_t(m_plan->columns().size());
    for (int b : {0, inBand}) {
        Figures &f = m_bands[size_t(b)];
        ++f.count;
        for (size_t i = 0; i < n; ++i) {
            if (st.isNull(firstValue + int(i)))
                continue;
            f.sums[i] += st.number(firstValue + int(i));
            f.present[i] = 1;
        }
        if (inBand == 0)
            break;
    }
}

QString GroupFigures::field(const QString &alias, int band) const
{
    const Figures &f = m_bands[size_t(band)];
    const int source = m_plan->sourceOf(alias);
    if (source < 0)
        return QString::number(f.count);
    return f.present[size_t(source)] ? formatGeneral(f.sums[size_t(source)]) : QString();
}

} // namespace kestrova::reports
