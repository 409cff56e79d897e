#pragma once
// Cells kept row by row, each row sorted by column: how the writer and the template
// filler both hold a sheet's cells. Cell needs a `col` member.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace kestrova::xls {

template <typename Cell>
using CellRows = std::vector<std::vector<Cell>>;

// Where a cell of that column goes in its row.
template <typename Cell>
size_t positionInRow(const CellRows<Cell> &rows, int row, int col)
{
    if (size_t(row) >= rows.size())
        return 0;
    const auto &cells = rows[size_t(row)];
    if (cells.empty() || cells.back().col < col) // the usual case: filling left to right
        return cells.size();
    return size_t(std::lower_bound(cells.begin(), cells.end(), col, [](const Cell &c, int v) { return c.col < v; }) -
                  cells.begin());
}

// Puts a cell at the position positionInRow() gave for its column; a cell already
// there for that column is replaced (the later one wins, as in Excel).
template <typename Cell>
void putInRow(CellRows<Cell> &rows, int row, size_t pos, const Cell &cell)
{
    if (rows.size() <= size_t(row))
        rows.resize(size_t(row) + 1);
    auto &cells = rows[size_t(row)];
    if (cells.empty() && row > 0)
        cells.reserve(rows[size_t(row) - 1].size()); // rows tend to be as wide as the one before
    if (pos == cells.size())
        cells.push_back(cell);
    else if (cells[pos].col == cell.col)
        cells[pos] = cell;
    else
        cells.insert(cells.begin() + ptrdiff_t(pos), cell);
}

} // namespace kestrova::xls
