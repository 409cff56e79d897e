#pragma once
// The report grid as data: cell texts, merged blocks, per-cell colours and font size,
// row heights. The engine fills it; the window shows it; the export reads its texts.
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace kestrova::reports {

struct Merge {
    int col = 0;
    int row = 0;
    int cols = 1;
    int rows = 1;
    bool covers(int c, int r) const { return c >= col && c < col + cols && r >= row && r < row + rows; }
};

using Rgb = std::uint32_t; // 0xRRGGBB
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kYellow = 0xFFFF00;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr int kCommonRowHeight = 30;
inline constexpr int kTitleRowHeight = 70;

// What a row of the table stands for. The engine marks the rows it sums; windows set
// those apart and charts leave them out, without either one reading labels.
enum class RowKind {
    Detail,   // one province, region or category of records, or a heading row
    Subtotal, // a zone subtotal, or a category row summing the rows below it
    Total,    // 合计, 全国总计, 全国合计
};

class ReportGrid {
public:
    explicit ReportGrid(int columns = 0, int rows = 0);

    int columnCount() const { return m_columns; }
    int rowCount() const { return int(m_cells.size()); }
    // Growing keeps what is there; new cells are empty, white, common height.
    void setRowCount(int rows);

    QString text(int col, int row) const;
    void setText(int col, int row, const QString &text);

    // A block shows the text of its top-left cell. Returns the merges in creation order.
    void merge(int col, int row, int cols, int rows);
    const QList<Merge> &merges() const { return m_merges; }
    // The merge whose block holds the cell, or nullptr.
    const Merge *mergeAt(int col, int row) const;

    Rgb fill(int col, int row) const;
    void setFill(int col, int row, Rgb colour);
    void paintRow(int row, Rgb colour);
    Rgb fontColour(int col, int row) const;
    void setFontColour(int col, int row, Rgb colour);
    int fontSize(int col, int row) const; // 0 = the grid's common size
    void setFontSize(int col, int row, int size);

    int rowHeight(int row) const;
    void setRowHeight(int row, int pixels);

    RowKind rowKind(int row) const;
    void setRowKind(int row, RowKind kind);

private:
    struct Cell {
        QString text;
        Rgb fill = kWhite;
        Rgb font = kBlack;
        int fontSize = 0;
    };
    Cell &cell(int col, int row);
    const Cell *cellOrNull(int col, int row) const;

    int m_columns = 0;
    std::vector<std::vector<Cell>> m_cells; // by row
    std::vector<int> m_heights;
    std::vector<RowKind> m_kinds;
    QList<Merge> m_merges;
};

} // namespace kestrova::reports
