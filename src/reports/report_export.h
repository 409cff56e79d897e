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

// Writes the template, with the title (where the window writes it) and grid rows S … last
// filled in, to outPath, replacing a file there only once the copy is complete. Throws
// ReportError for a missing template, FileError for a target that is the database or
// cannot be written.
void exportReport(const ReportGrid &grid, const ReportDefinition &def, const QString &templateFile,
                  const QString &outPath);

} // namespace kestrova::reports
