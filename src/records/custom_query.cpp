#include "records/custom_query.h"

#include "data/database.h"
#include "data/number_format.h"

namespace kestrova {

namespace {
bool s_textKind = false;
QString s_lastCondition;

const QStringList &operators()
{
    static const QStringList ops{QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"), QStringLiteral(">="),
                                 QStringLiteral("<=")};
    return ops;
}

// The column's name as the table spells it, or empty when the table has none such.
QString realColumn(const QString &name, const QStringList &columns)
{
    for (const QString &c : columns)
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return {};
}

QString quoted(const QString &column)
{
    return QLatin1Char('"') + column + QLatin1Char('"');
}
} // namespace

bool customQueryTextKind()
{
    return s_textKind;
}

void setCustomQueryTextKind(bool isText)
{
    s_textKind = isText;
}

QString lastCustomCondition()
{
    return s_lastCondition;
}

void setLastCustomCondition(const QString &text)
{
    s_lastCondition = text;
}

std::vector<QueryIndicator> queryIndicators(Database &db)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM 查询指标 ORDER BY rowid"));
    std::vector<QueryIndicator> out;
    while (st.next())
        out.push_back({st.text(QStringLiteral("指标")), st.text(QStringLiteral("类型")) == QStringLiteral("1")});
    return out;
}

QString termProblem(const QueryTerm &term, const QStringList &columns)
{
    if (realColumn(term.indicator, columns).isEmpty())
        return QStringLiteral("指标“%1”不是企业数据的字段，无法查询！").arg(term.indicator);
    if (term.value.trimmed().isEmpty())
        return QStringLiteral("请填入条件！");
    if (!term.isText) {
        if (!operators().contains(term.op))
            return QStringLiteral("请选择比较符号！");
        if (!parseNumber(term.value))
            return QStringLiteral("“%1”不是完整的数字，请重新填写！").arg(term.value);
    }
    return {};
}

void CustomQuery::add(const QueryTerm &term)
{
    std::optional<TermJoin> joinBefore;
    if (!m_terms.empty())
        joinBefore = m_pendingJoin.value_or(TermJoin::And);
    m_terms.push_back({term, joinBefore});
    m_pendingJoin.reset();
}

void CustomQuery::join(TermJoin j)
{
    m_pendingJoin = j;
}

QString CustomQuery::displayText() const
{
    QString out;
    for (const Entry &e : m_terms) {
        if (e.joinBefore)
            out += *e.joinBefore == TermJoin::And ? QStringLiteral(" and ") : QStringLiteral(" or ");
        const QueryTerm &t = e.term;
        if (t.isText)
            out += t.indicator + QStringLiteral(" like \"%") + t.value + QStringLiteral("%\"");
        else
            out += t.indicator + t.op + t.value;
    }
    if (m_pendingJoin)
        out += *m_pendingJoin == TermJoin::And ? QStringLiteral(" and ") : QStringLiteral(" or ");
    return out;
}

QString CustomQuery::wordsText() const
{
    static const QStringList words{QStringLiteral("等于"), QStringLiteral("大于"), QStringLiteral("小于"),
                                   QStringLiteral("大于或等于"), QStringLiteral("小于或等于")};
    auto joinWord = [](TermJoin j) { return j == TermJoin::And ? QStringLiteral(" 并且 ") : QStringLiteral(" 或者 "); };
    QString out;
    for (const Entry &e : m_terms) {
        if (e.joinBefore)
            out += joinWord(*e.joinBefore);
        const QueryTerm &t = e.term;
        if (t.isText)
            out += t.indicator + QStringLiteral(" 包含 “") + t.value + QStringLiteral("”");
        else
            out += t.indicator + QLatin1Char(' ') + words.value(int(operators().indexOf(t.op)), t.op) + QLatin1Char(' ') +
                   t.value.trimmed();
    }
    if (m_pendingJoin)
        out += joinWord(*m_pendingJoin);
    return out;
}

CustomQuery::Sql CustomQuery::toSql(const QStringList &columns) const
{
    Sql out;
    if (m_terms.empty())
        return out;
    QString body;
    QVariantList params;
    for (const Entry &e : m_terms) {
        const QueryTerm &t = e.term;
        if (const QString problem = termProblem(t, columns); !problem.isEmpty()) {
            out.error = problem;
            return out;
        }
        if (e.joinBefore)
            body += *e.joinBefore == TermJoin::And ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
        const QString column = realColumn(t.indicator, columns);
        if (t.isText) {
            body += likeClause(column);
            params << containsPattern(t.value);
        } else {
            // The operator comes from a fixed list, the column from the table itself.
            body += quoted(column) + t.op + QLatin1Char('?');
            params << *parseNumber(t.value);
        }
    }
    // The list's own base condition holds for every record, so "A or B" keeps its
    // meaning inside the parentheses.
    out.condition.sql = QStringLiteral(" and (") + body + QLatin1Char(')');
    out.condition.params = params;
    return out;
}

} // namespace kestrova
