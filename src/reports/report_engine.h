#pragma once
// Builds a report grid from the records, the global context and a window definition.
#include "data/context.h"
#include "reports/report_definition.h"
#include "reports/report_grid.h"
#include "reports/window_class_state.h"

namespace kestrova {
class Database;
}

namespace kestrova::reports {

// The level texts the engine tells apart.
inline const QString kLevelNational = QStringLiteral("国家级汇总");
inline const QString kLevelProvince = QStringLiteral("省级汇总");
inline const QString kLevelCity = QStringLiteral("地级汇总");

// Fills grid (made here with C columns) from the records. The report title, level and
// places come from ctx; the class state gives and keeps the variant and highlighted row.
// On a database or number error it throws (DbError, ReportError) and grid keeps what
// was filled up to that point.
void buildReport(Database &db, const GlobalContext &ctx, const ReportDefinition &def, WindowClassState &state,
                 ReportGrid &grid);

// The caption of the window: the report title for a breakdown table, the places and
// the table name for a national summary table.
QString windowCaption(const GlobalContext &ctx, const ReportDefinition &def);

} // namespace kestrova::reports
