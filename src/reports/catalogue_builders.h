#pragma once
// Small builders shared by the definitions of parts three to eight. These tables all
// use measure columns, the same category labels, a grand-total row before the zones
// and only the -2, -4 and -5 variants.
#include "reports/report_definition.h"

namespace kestrova::reports::builders {

// A national summary table: title "<number>-1 <stem>" ("表3-1-1 全国…"), table name
// the stem without "全国", template "templet/<folder>/<title>.xls".
ReportDefinition nationalTable(const char *className, const char *number, const char *stem, const char *folder);

// A breakdown table serving "<number>-2 <stem>（分地区）", -4 （国有企业） and -5
// （非国有企业）, with the grand-total row label; template "templet/<folder>/<number>-2 通表.xls".
ReportDefinition breakdownTable(const char *className, const char *number, const char *stem, const char *folder,
                                const char *grandTotal = "全国总计");

// "类别" or "地区" over all heading rows below the title.
HeadingBlock sideHeading(const ReportDefinition &d);

Aggregate sumOf(const char *column, const char *alias);
Aggregate countAll(const char *alias);
// The alias as read, or divided (10000: tonnes or square metres into 万).
ColumnFormula aliasColumn(int aliasNumber, double divisor = 1);
// The alias's field text written unchanged.
ColumnFormula aliasText(int aliasNumber);

// The export block: grid rows S … last to sheet rows r + K, grid columns
// firstGrid … lastGrid to sheet columns firstSheet onwards.
void exportCells(ReportDefinition &d, int s, int k, int firstGrid, int lastGrid, int firstSheet);

} // namespace kestrova::reports::builders
