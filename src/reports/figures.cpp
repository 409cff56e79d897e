#include "reports/figures.h"

#include "data/database.h"
#include "data/number_format.h"
#include "data/record_columns.h"
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

PlanColumns::PlanColumns(const AggregatePlan &plan, const RecordColumns &records)
{
    for (const QString &c : plan.columns())
        values.push_back(records.numberColumn(c).data());
    if (plan.bands())
        capacity = records.numberColumn(kCapacityColumn).data();
}

namespace {
// 0 for a record without capacity, else 1 … 4 by the band limits.
int bandOf(double capacity)
{
    if (RecordColumns::isNull(capacity))
        return 0;
    if (capacity < kBandLimits[0])
        return 1;
    if (capacity < kBandLimits[1])
        return 2;
    return capacity < kBandLimits[2] ? 3 : 4;
}
} // namespace

void GroupFigures::add(const PlanColumns &columns, size_t row)
{
    const int inBand = columns.capacity ? bandOf(columns.capacity[row]) : 0;
    const size_t n = columns.values.size();
    for (int b : {0, inBand}) {
        Figures &f = m_bands[size_t(b)];
        ++f.count;
        for (size_t i = 0; i < n; ++i) {
            const double v = columns.values[i][row];
            if (RecordColumns::isNull(v))
                continue;
            f.sums[i] += v;
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
    return f.present[size_t(source)] ? sumText(f.sums[size_t(source)], m_plan->columns()[source]) : QString();
}

} // namespace kestrova::reports
