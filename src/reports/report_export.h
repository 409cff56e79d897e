#pragma once
// Writing a report grid into a copy of its workbook template (保存表格).
#include "data/context.h"
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QDate>

namespace kestrova::reports {

// "<name>(MM-dd)": the places and table name of a national summary table, the title
// cell of a breakdown table.
QString defaultExportName(const GlobalContext &ctx, const ReportDefinition &def, const ReportGrid &grid,
                          const QDate &today);
// The template's path relative to the application directory: "templet/<folder>/<file>.xls".
QString templateRelativePath(const ReportDefinition &def);
// The template file as shipped (the home first, then beside the executable).
QString templatePath(const ReportDefinition &def);

// Copies the template byte for byte to outPath (replacing a file there), then writes
// the title (where the window writes it) and grid rows S … last into it. Throws
// ReportError or xls::XlsError; a copy already made stays on disk.
void exportReport(const ReportGrid &grid, const ReportDefinition &def, const QString &templateFile,
                  const QString &outPath);

} // namespace kestrova::reports
