#pragma once
// A piece of WHERE clause with its bound values: empty, or starting with " and ".
#include <QString>
#include <QVariantList>

namespace kestrova {

struct SqlCondition {
    QString sql;
    QVariantList params; // bound in order to the "?" marks of sql

    bool isEmpty() const { return sql.isEmpty(); }
};

// "%text%" for LIKE … ESCAPE '\', with %, _ and \ of the text matching themselves.
QString containsPattern(const QString &text);
// `"column" LIKE ? ESCAPE '\'` for a column name the caller has checked.
QString likeClause(const QString &column);

} // namespace kestrova
