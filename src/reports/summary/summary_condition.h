#pragma once
// The record condition of 统计: the selected part of the tree and the ownership filter,
// as tests on the records' text columns.
#include "reports/summary/summary_selection.h"

#include <QList>
#include <QStringList>

namespace kestrova {

// A record passes when its column holds one of values (equal), or differs from
// values[0] (not equal). Texts compare exactly.
struct ColumnTest {
    QString column;
    bool equal = true;
    QStringList values;
};

struct SummaryCondition {
    QList<ColumnTest> tests; // all must pass; none: every record
};

SummaryCondition summaryCondition(const SummarySelection &selection, Ownership ownership);

} // namespace kestrova
