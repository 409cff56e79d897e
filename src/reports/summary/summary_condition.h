#pragma once
// The record condition of 统计: the selected part of the tree and the ownership filter,
// as tests on the records' text columns.
#include "data/record_columns.h"
#include "reports/summary/summary_selection.h"

#include <QList>

namespace kestrova {

struct SummaryCondition {
    QList<ColumnTest> tests; // all must pass; none: every record
};

SummaryCondition summaryCondition(const SummarySelection &selection, Ownership ownership);

} // namespace kestrova
