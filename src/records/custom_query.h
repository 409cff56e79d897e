#pragma once
// Custom query conditions: terms on the indicators offered in 查询指标, joined with
// and / or. Kept as structured terms; the text shown to the user and the SQL with
// bound values are both made from them.
#include "records/sql_condition.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrova {

class Database;

struct QueryIndicator {
    QString name;
    bool isText = false; // 类型 exactly "1"
};

// The rows of 查询指标, in row order.
std::vector<QueryIndicator> queryIndicators(Database &db);

enum class TermJoin { And, Or };

struct QueryTerm {
    QString indicator;
    bool isText = false;
    QString op;    // "=", ">", "<", ">=", "<=" for numbers; unused for text
    QString value; // as typed
};

// Why a term cannot be used, or empty when it can. columns: those of TZ_XIANGMU.
QString termProblem(const QueryTerm &term, const QStringList &columns);

class CustomQuery {
public:
    void add(const QueryTerm &term);
    void join(TermJoin j);
    bool isEmpty() const { return m_terms.empty(); }
    int termCount() const { return int(m_terms.size()); }
    // The condition as the global context keeps it: 经营范围 like "%储备%" or 仓容合计>=10000 ….
    QString displayText() const;
    // The same in words, as the window shows it: 经营范围 包含 “储备” 或者 仓容合计 大于或等于 10000.
    QString wordsText() const;
    // " and (…)" with every value bound; an error names the first unusable term.
    struct Sql {
        SqlCondition condition;
        QString error;
    };
    Sql toSql(const QStringList &columns) const;

private:
    struct Entry {
        QueryTerm term;
        std::optional<TermJoin> joinBefore;
    };
    std::vector<Entry> m_terms;
    std::optional<TermJoin> m_pendingJoin;
};

// Whether the last selected indicator was a text one; kept for the whole run.
bool customQueryTextKind();
void setCustomQueryTextKind(bool isText);
// The last condition confirmed, as shown (the global custom query condition).
QString lastCustomCondition();
void setLastCustomCondition(const QString &text);

} // namespace kestrova
