#pragma once
// Small record sets and report builds for the report tests.
#include "data/context.h"
#include "data/database.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "support/temp_store.h"

#include <QMap>
#include <QStringList>
#include <QVariant>

namespace kestrova::test {

using Fields = QMap<QString, QVariant>;

// Appends one record; identity texts not given stay empty, 新疆兵团 defaults to "否".
inline void addRecord(Database &db, Fields fields)
{
    if (!fields.contains(QStringLiteral("新疆兵团")))
        fields.insert(QStringLiteral("新疆兵团"), QStringLiteral("否"));
    QStringList cols, marks;
    QVariantList values;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        cols << QLatin1Char('"') + it.key() + QLatin1Char('"');
        marks << QStringLiteral("?%1").arg(cols.size());
        values << it.value();
    }
    db.exec(QStringLiteral("INSERT INTO TZ_XIANGMU(%1) VALUES(%2)").arg(cols.join(','), marks.join(',')), values);
}

// Builds the report of a title at a level, as the menu would hand it over.
inline reports::ReportGrid buildTitle(Database &db, const QString &title, const QString &level,
                                      const QString &province = {}, const QString &city = {},
                                      const QString &county = {})
{
    const reports::ReportDefinition *def = reports::definitionForTitle(title);
    if (!def)
        throw std::runtime_error("unknown title");
    GlobalContext &ctx = context();
    ctx.reportTitle = title;
    ctx.level = level;
    ctx.province = province;
    ctx.city = city;
    ctx.county = county;
    reports::ReportGrid grid;
    reports::buildReport(db, ctx, *def, reports::windowClassState(def->className), grid);
    return grid;
}

inline QStringList rowTexts(const reports::ReportGrid &g, int row)
{
    QStringList out;
    for (int c = 0; c < g.columnCount(); ++c)
        out << g.text(c, row);
    return out;
}

// The values of a row (columns 1 … C-1) joined by '|', for compact expectations.
inline QString values(const reports::ReportGrid &g, int row)
{
    return rowTexts(g, row).mid(1).join(QLatin1Char('|'));
}

// The grid as TSV: rows by '\n', cells by '\t', CR and LF inside a cell as \r and \n.
inline QString toTsv(const reports::ReportGrid &g)
{
    QStringList lines;
    for (int r = 0; r < g.rowCount(); ++r) {
        QStringList cells = rowTexts(g, r);
        for (auto &c : cells)
            c.replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace kestrova::test
