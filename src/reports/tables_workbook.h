#pragma once
// The workbook of all tables: one sheet per report grid, laid out from the grid itself
// (title, merged headings, labels, values as numbers), since every table's template has
// its own fonts and formats that one workbook cannot hold side by side.
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QString>

#include <vector>

namespace kestrova::reports {

struct TableSheet {
    QString title; // the report title; its number names the sheet
    const ReportDefinition *def = nullptr;
    ReportGrid grid;
};

// The sheet name of a title: its number, "表2-1-2".
QString sheetNameFor(const QString &title);

// Writes the workbook to path. Throws xls::XlsError.
void saveTablesWorkbook(const std::vector<TableSheet> &tables, const QString &path);

} // namespace kestrova::reports
