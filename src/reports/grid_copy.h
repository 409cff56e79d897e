#pragma once
// A part of a report grid as tab-separated text for the clipboard, readable by itself
// where it is pasted: the column headings and the row labels of the chosen cells come
// along with them.
#include "reports/report_grid.h"

#include <QList>
#include <QString>

namespace kestrova::reports {

// The cells of rows × columns, one line per row ending in "\n", a tab between cells.
// When the rows hold no heading row, the heading rows 1 … headingRows−1 go first; when
// the columns leave out column 0, the row labels go first. A merged block shows its
// text in the first of its cells that is copied; a heading's line breaks become spaces.
QString copiedCells(const ReportGrid &grid, int headingRows, QList<int> rows, QList<int> columns);

} // namespace kestrova::reports
