#include "records/record_check.h"

#include "data/database.h"
#include "data/number_format.h"

#include <cmath>

namespace kestrova {

namespace {

constexpr int kFirstIndicator = 6; // result columns: ID, name, 省, 地市, 县, 邮政编码, indicators

QString selectText()
{
    QString sql = QStringLiteral("SELECT ID,企业名称,省,地市,县,邮政编码");
    for (int k = 1; k <= kIndicatorCount; ++k)
        sql += QStringLiteral(",\"") + indicatorColumn(k) + QLatin1Char('"');
    return sql + QStringLiteral(" FROM TZ_XIANGMU ORDER BY ID");
}

// The number the entry form would read from field k, which shows the stored value as
// text (Statement::text): a stored number goes through its general-format text, which
// may round it, so the check and the form judge the same value. A whole number short
// enough comes back unchanged and skips the round trip.
std::optional<double> storedIndicator(const Statement &st, int i)
{
    switch (st.type(i)) {
    case Statement::Type::Null:
        return 0.0;
    case Statement::Type::Integer:
    case Statement::Type::Real: {
        const double v = st.number(i);
        if (std::isfinite(v) && std::abs(v) < 1e15 && v == std::floor(v))
            return v;
        return parseNumberOrZero(st.text(i));
    }
    default:
        return parseNumberOrZero(st.text(i));
    }
}

QString valuesText(const RuleFailure &f, const QString &postcode, const IndicatorValues &v)
{
    if (f.rule == 1)
        return QStringLiteral("邮政编码=") + postcode;
    QStringList parts;
    for (int k : f.fields)
        parts << indicatorColumn(k) + QLatin1Char('=') + formatGeneral(v[size_t(k)]);
    return parts.join(QChar(u'；'));
}

} // namespace

CheckResult checkAllRecords(Database &db)
{
    CheckResult out;
    Statement st = db.prepare(selectText());
    IndicatorValues v{};
    while (st.next()) {
        ++out.records;
        const QString postcode = st.text(5);
        std::vector<RuleFailure> failed;
        QString values;
        for (int k = 1; k <= kIndicatorCount; ++k) {
            const auto n = storedIndicator(st, kFirstIndicator + k - 1);
            if (!n) {
                // Nothing can be compared; the entry form stops on this field as well,
                // unless the postcode fails first.
                const QString text = st.text(kFirstIndicator + k - 1);
                failed = failedRules(postcode, {}, true);
                if (failed.empty() || failed.front().rule != 1) {
                    failed = {RuleFailure{0, notANumberMessage(k, text), indicatorFieldName(k), {k}}};
                    values = indicatorColumn(k) + QLatin1Char('=') + text;
                }
                break;
            }
            v[size_t(k)] = *n;
        }
        if (failed.empty())
            failed = failedRules(postcode, v);
        if (failed.empty())
            continue;
        ++out.failingRecords;
        const qint64 id = st.value(0).toLongLong();
        const QString name = st.text(1);
        const QString region = st.text(2) + st.text(3) + st.text(4);
        for (RuleFailure &f : failed) {
            ++out.recordsPerRule[f.rule];
            CheckFailure c{id, name, region, std::move(f), {}};
            c.values = c.failure.rule == 0 ? values : valuesText(c.failure, postcode, v);
            out.failures.push_back(std::move(c));
        }
    }
    return out;
}

QStringList ruleCountLines(const CheckResult &result)
{
    QStringList lines;
    for (const auto &[rule, count] : result.recordsPerRule)
        lines << ruleLabel(rule) + QStringLiteral("：%1 个记录").arg(count);
    return lines;
}

QString ruleLabel(int rule)
{
    return rule == 0 ? QStringLiteral("非数字") : QStringLiteral("规则%1").arg(rule);
}

QString checkSummary(const CheckResult &result)
{
    QString s = QStringLiteral("共校验 %1 个记录，%2 个未通过").arg(result.records).arg(result.failingRecords);
    if (!result.recordsPerRule.empty())
        s += QStringLiteral("（") + ruleCountLines(result).join(QStringLiteral("，")) + QStringLiteral("）");
    return s;
}

} // namespace kestrova
