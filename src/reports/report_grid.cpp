#include "reports/report_grid.h"

#include <stdexcept>

namespace kestrova::reports {

ReportGrid::ReportGrid(int columns, int rows) : m_columns(columns)
{
    setRowCount(rows);
}

void ReportGrid::setRowCount(int rows)
{
    rows = std::max(rows, 0);
    m_cells.resize(size_t(rows), std::vector<Cell>(size_t(m_columns)));
    m_heights.resize(size_t(rows), kCommonRowHeight);
    m_kinds.resize(size_t(rows), RowKind::Detail);
}

ReportGrid::Cell &ReportGrid::cell(int col, int row)
{
    if (col < 0 || col >= m_columns || row < 0)
        throw std::out_of_range("report grid cell outside the columns");
    if (row >= rowCount())
        setRowCount(row + 1);
    return m_cells[size_t(row)][size_t(col)];
}

const ReportGrid::Cell *ReportGrid::cellOrNull(int col, int row) const
{
    if (col < 0 || col >= m_columns || row < 0 || row >= rowCount())
        return nullptr;
    return &m_cells[size_t(row)][size_t(col)];
}

QString ReportGrid::text(int col, int row) const
{
    const Cell *c = cellOrNull(col, row);
    return c ? c->text : QString();
}

void ReportGrid::setText(int col, int row, const QString &text)
{
    cell(col, row).text = text;
}

void ReportGrid::merge(int col, int row, int cols, int rows)
{
    if (cols < 1 || rows < 1 || col < 0 || col + cols > m_columns || row < 0)
        throw std::out_of_range("merged block outside the grid");
    if (cols == 1 && rows == 1)
        return;
    m_merges.append({col, row, cols, rows});
}

const Merge *ReportGrid::mergeAt(int col, int row) const
{
    for (const auto &m : m_merges)
        if (m.covers(col, row))
            return &m;
    return nullptr;
}

Rgb ReportGrid::fill(int col, int row) const
{
    const Cell *c = cellOrNull(col, row);
    return c ? c->fill : kWhite;
}

void ReportGrid::setFill(int col, int row, Rgb colour)
{
    cell(col, row).fill = colour;
}

void ReportGrid::paintRow(int row, Rgb colour)
{
    for (int c = 0; c < m_columns; ++c)
        setFill(c, row, colour);
}

Rgb ReportGrid::fontColour(int col, int row) const
{
    const Cell *c = cellOrNull(col, row);
    return c ? c->font : kBlack;
}

void ReportGrid::setFontColour(int col, int row, Rgb colour)
{
    cell(col, row).font = colour;
}

int ReportGrid::fontSize(int col, int row) const
{
    const Cell *c = cellOrNull(col, row);
    return c ? c->fontSize : 0;
}

void ReportGrid::setFontSize(int col, int row, int size)
{
    cell(col, row).fontSize = size;
}

int ReportGrid::rowHeight(int row) const
{
    return row >= 0 && row < rowCount() ? m_heights[size_t(row)] : kCommonRowHeight;
}

void ReportGrid::setRowHeight(int row, int pixels)
{
    if (row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    m_heights[size_t(row)] = pixels;
}

RowKind ReportGrid::rowKind(int row) const
{
    return row >= 0 && row < rowCount() ? m_kinds[size_t(row)] : RowKind::Detail;
}

void ReportGrid::setRowKind(int row, RowKind kind)
{
    if (row < 0)
        return;
    if (row >= rowCount())
        setRowCount(row + 1);
    m_kinds[size_t(row)] = kind;
}

} // namespace kestrova::reports
