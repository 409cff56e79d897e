#pragma once
// The workbook templates of the report windows, made from the same definitions that
// build the grids, so sheet and grid agree cell for cell.
#include "reports/report_definition.h"

#include <QStringList>

namespace kestrova::reports {

// Writes the template of one definition to path.
void writeReportTemplate(const ReportDefinition &def, const QString &path);
// Writes every template of the catalogue under templetDir ("<dir>/<folder>/<file>.xls");
// returns the files written.
QStringList writeReportTemplates(const QString &templetDir);

} // namespace kestrova::reports
