#include "reports/grid_copy.h"

#include <QRegularExpression>

#include <algorithm>

namespace kestrova::reports {

namespace {
QList<int> sortedUnique(QList<int> v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// The first of the copied indexes inside [first, first + count).
int firstCopied(const QList<int> &copied, int first, int count)
{
    for (int i : copied)
        if (i >= first && i < first + count)
            return i;
    return -1;
}

// A block's text goes to the first of its cells that is copied.
QString cellText(const ReportGrid &grid, int col, int row, const QList<int> &rows, const QList<int> &columns)
{
    QString text = grid.text(col, row);
    if (const Merge *m = grid.mergeAt(col, row)) {
        if (firstCopied(columns, m->col, m->cols) != col || firstCopied(rows, m->row, m->rows) != row)
            return {};
        text = grid.text(m->col, m->row);
    }
    QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")));
    if (lines.size() == 1)
        return lines.front();
    for (QString &l : lines)
        l = l.trimmed();
    lines.removeAll(QString());
    return lines.join(QLatin1Char(' '));
}
} // namespace

QString copiedCells(const ReportGrid &grid, int headingRows, QList<int> rows, QList<int> columns)
{
    rows = sortedUnique(rows);
    columns = sortedUnique(columns);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int r) { return r < 0 || r >= grid.rowCount(); }),
               rows.end());
    columns.erase(std::remove_if(columns.begin(), columns.end(),
                                 [&](int c) { return c < 0 || c >= grid.columnCount(); }),
                  columns.end());
    if (rows.isEmpty() || columns.isEmpty())
        return {};
    if (std::none_of(rows.begin(), rows.end(), [&](int r) { return r < headingRows; })) {
        QList<int> headings;
        for (int r = 1; r < headingRows && r < grid.rowCount(); ++r)
            headings << r;
        rows = headings + rows;
    }
    if (columns.front() != 0)
        columns.prepend(0);
    QStringList lines;
    for (int r : rows) {
        QStringList cells;
        for (int c : columns)
            cells << cellText(grid, c, r, rows, columns);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace kestrova::reports
