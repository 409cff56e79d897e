#pragma once
// Writing a report grid into a copy of its workbook template (保存表格).
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QString>

namespace kestrova::reports {

// "表2-1-2 河南省粮油仓储企业总仓容汇总表（分地区）(2013)": the number of the title
// the window serves (its first title's when it serves none), the grid's title cell and
// the task year ("(year)" left out without one).
QString defaultExportName(const ReportDefinition &def, const QString &reportTitle, const ReportGrid &grid,
                          const QString &year);
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
