#pragma once
// The 72 sums and the number of records of one summary condition.
#include "records/record_fields.h"
#include "reports/summary/summary_condition.h"

#include <QString>

namespace kestrova {

class Database;

struct SummaryFigures {
    QString count;        // "0" when nothing matches
    IndicatorTexts sums;  // sum k at [k - 1], general format; empty when no record has a value
};

// count(*) and sum(column) of every indicator over the records the condition passes,
// added in ID order. Throws DbError when the records cannot be read or a sum is past the
// largest number.
SummaryFigures summaryFigures(Database &db, const SummaryCondition &condition);

} // namespace kestrova
