#pragma once
// Aggregates of one group of records, per capacity band, computed while the records
// are read once. A group stands for one result row of the report's aggregate query:
// count(*) and sum(column), where a sum over no value is empty (NULL), not 0.
#include "reports/report_definition.h"

#include <QString>

#include <vector>

namespace kestrova {
class RecordColumns;
}

namespace kestrova::reports {

// The capacity column whose value sorts a record into a band.
inline const QString kCapacityColumn = QStringLiteral("仓容合计");
// Band 0 holds every record; bands 1 … 4: below 25000, [25000, 50000), [50000, 100000),
// from 100000 on. A record without capacity is in band 0 only.
inline constexpr double kBandLimits[3] = {25000, 50000, 100000};

// Which columns a definition's aggregates need and how an alias maps to them.
class AggregatePlan {
public:
    explicit AggregatePlan(const ReportDefinition &def);
    const QStringList &columns() const { return m_columns; } // distinct, in first-use order
    int bandCount() const { return m_bands ? 5 : 1; }
    bool bands() const { return m_bands; }
    // -1 for count(*), else the index into columns(); throws for an unknown alias.
    int sourceOf(const QString &alias) const;

private:
    QStringList m_columns;
    QStringList m_aliases;
    QList<int> m_sources;
    bool m_bands = false;
};

struct Figures {
    long long count = 0;
    std::vector<double> sums;
    std::vector<unsigned char> present;
};

// The plan's value columns (and with bands the capacity column) among the records held
// in memory.
class PlanColumns {
public:
    // Throws DbError for a column the records do not have.
    PlanColumns(const AggregatePlan &plan, const RecordColumns &records);
    std::vector<const double *> values; // in the order of plan.columns()
    const double *capacity = nullptr;   // with bands only
};

class GroupFigures {
public:
    explicit GroupFigures(const AggregatePlan &plan);
    // Adds one record: its values, and with bands its capacity band.
    void add(const PlanColumns &columns, size_t row);
    const Figures &band(int b) const { return m_bands[size_t(b)]; }
    bool isEmpty() const { return m_bands[0].count == 0; }
    // The alias's value as the query would give it as text: the count, the sum in
    // general format, or empty for a sum over no value.
    QString field(const QString &alias, int band = 0) const;

private:
    const AggregatePlan *m_plan;
    std::vector<Figures> m_bands;
};

} // namespace kestrova::reports
