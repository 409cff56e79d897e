#pragma once
// The workbook templates of the report windows, made from the same definitions that
// build the grids, so sheet and grid agree cell for cell.
#include "reports/report_definition.h"

#include <QStringList>

namespace kestrova::reports {

// Where the unit caption stands (0-based): above the last column, or beside the title
// when the headings follow the title directly.
struct CellPosition {
    int row;
    int col;
};
CellPosition unitCell(const ReportDefinition &def);

// The sheet row (0-based) of the last data row the template frames.
int lastTemplateRow(const ReportDefinition &def);

// Writes the template of one definition to path.
void writeReportTemplate(const ReportDefinition &def, const QString &path);
// Writes every template of the catalogue under templetDir ("<dir>/<folder>/<file>.xls");
// returns the files written.
QStringList writeReportTemplates(const QString &templetDir);

} // namespace kestrova::reports
