#include "reports/summary/summary_condition.h"

namespace kestrova {

namespace {
void is(SummaryCondition &c, const QString &column, const QStringList &values)
{
    c.tests << ColumnTest{column, true, values};
}
void isNot(SummaryCondition &c, const QString &column, const QString &value)
{
    c.tests << ColumnTest{column, false, {value}};
}
} // namespace

SummaryCondition summaryCondition(const SummarySelection &s, Ownership ownership)
{
    SummaryCondition c;
    if (s.category == kLocalCategory) {
        is(c, QStringLiteral("央企名称"), {QString()});
        if (!s.corps.isEmpty()) {
            is(c, QStringLiteral("新疆兵团"), {QStringLiteral("是")});
        } else {
            is(c, QStringLiteral("新疆兵团"), {QStringLiteral("否")});
            if (!s.province.isEmpty())
                is(c, QStringLiteral("省"), {s.province});
            if (!s.city.isEmpty())
                is(c, QStringLiteral("地市"), {s.city});
            if (!s.county.isEmpty())
                is(c, QStringLiteral("县"), {s.county});
        }
    } else if (s.category == kCentralCategory) {
        isNot(c, QStringLiteral("央企名称"), QString());
        if (!s.enterprise.isEmpty())
            is(c, QStringLiteral("央企名称"), {s.enterprise});
        // A province under an enterprise narrows the figures to the records its
        // tree node counts.
        if (!s.province.isEmpty())
            is(c, QStringLiteral("省"), {s.province});
    }
    switch (ownership) {
    case Ownership::State:
        is(c, QStringLiteral("企业性质"), {QStringLiteral("国有")});
        break;
    case Ownership::NonState:
        is(c, QStringLiteral("企业性质"), {QStringLiteral("民营"), QStringLiteral("外资")});
        break;
    case Ownership::All:
        break;
    }
    return c;
}

} // namespace kestrova
