#include "reports/summary/summary_condition.h"

namespace kestrova {

namespace {
void add(SqlCondition &c, const QString &clause, const QVariantList &values = {})
{
    c.sql += c.sql.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ");
    c.sql += clause;
    c.params += values;
}
} // namespace

SqlCondition summaryCondition(const SummarySelection &s, Ownership ownership)
{
    SqlCondition c;
    if (s.category == kLocalCategory) {
        add(c, QStringLiteral("央企名称=?"), {QString()});
        if (!s.corps.isEmpty()) {
            add(c, QStringLiteral("新疆兵团=?"), {QStringLiteral("是")});
        } else {
            add(c, QStringLiteral("新疆兵团=?"), {QStringLiteral("否")});
            if (!s.province.isEmpty())
                add(c, QStringLiteral("省=?"), {s.province});
            if (!s.city.isEmpty())
                add(c, QStringLiteral("地市=?"), {s.city});
            if (!s.county.isEmpty())
                add(c, QStringLiteral("县=?"), {s.county});
        }
    } else if (s.category == kCentralCategory) {
        add(c, QStringLiteral("央企名称<>?"), {QString()});
        if (!s.enterprise.isEmpty())
            add(c, QStringLiteral("央企名称=?"), {s.enterprise});
        // A province under an enterprise narrows the figures to the records its
        // tree node counts.
        if (!s.province.isEmpty())
            add(c, QStringLiteral("省=?"), {s.province});
    }
    switch (ownership) {
    case Ownership::State:
        add(c, QStringLiteral("企业性质=?"), {QStringLiteral("国有")});
        break;
    case Ownership::NonState:
        add(c, QStringLiteral("(企业性质=? or 企业性质=?)"), {QStringLiteral("民营"), QStringLiteral("外资")});
        break;
    case Ownership::All:
        break;
    }
    return c;
}

} // namespace kestrova
