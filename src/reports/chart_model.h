#pragma once
// The chart of a report table as plain data, made from the grid's own cells so it
// always agrees with them: the rows to draw, the series and the axis unit. The window
// only draws it.
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova::reports {

// One entry of the chart's picker: a single value column, or a group of columns that
// are the parts of one whole, drawn stacked.
struct ChartChoice {
    QString caption;
    QList<int> columns;
    bool stacked = false;
};

struct ChartSeries {
    QString name;
    QList<double> values; // one per category, in the categories' order
    QStringList texts;    // what each bar says: the cell's own text, or its share
};

struct ChartModel {
    QString title;
    QString unit;           // the value axis title
    QStringList categories; // row labels, unique, first drawn topmost
    QList<ChartSeries> series;
    bool stacked = false;
    bool percent = false;
};

// The heading texts over a value column, top row first, each on one line.
QStringList columnHeadings(const ReportDefinition &def, const ReportGrid &grid, int column);

// The picker's entries: the groups of parts first (the default), then every value
// column by its headings.
QList<ChartChoice> chartChoices(const ReportDefinition &def, const ReportGrid &grid);

// The bars of the detail rows (provinces, regions or categories; zone subtotals and
// totals left out). A breakdown table's rows are sorted by value, largest first (a
// stacked bar by the sum of its parts); a national summary table keeps its category
// order. A cell that is not a number counts as 0. percent only applies to a stack.
ChartModel buildChart(const ReportDefinition &def, const ReportGrid &grid, const ChartChoice &choice,
                      bool percent = false);

} // namespace kestrova::reports
