#pragma once
// The 72 sums and the number of records of one summary condition.
#include "records/record_fields.h"
#include "records/sql_condition.h"

#include <QString>

namespace kestrova {

class Database;

struct SummaryFigures {
    QString count;        // "0" when nothing matches
    IndicatorTexts sums;  // sum k at [k - 1], general format; empty when nothing matches
};

// "select count(*) as A, sum(占地面积) as a1, …, sum(散进散出量) as a72 from TZ_XIANGMU" + condition.
QString summarySql(const SqlCondition &condition);
SummaryFigures summaryFigures(Database &db, const SqlCondition &condition);

} // namespace kestrova
