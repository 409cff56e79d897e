#pragma once
// The record condition of 统计: the selected part of the tree and the ownership
// filter, as SQL with bound values.
#include "records/sql_condition.h"
#include "reports/summary/summary_selection.h"

namespace kestrova {

// Empty, or " where …" with one "?" per value in params.
SqlCondition summaryCondition(const SummarySelection &selection, Ownership ownership);

} // namespace kestrova
