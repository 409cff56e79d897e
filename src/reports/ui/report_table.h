#pragma once
// The grid of a report window: heading rows and row labels stay in place while the
// values scroll under them, columns are as wide as their values and headings need
// (headings wrap, their rows grow), a column is resized by dragging its edge in the
// headings, a cut cell shows its whole text as a tooltip, and a caption (the unit)
// stays at the bottom right of the title row, over the last column.
//
// The fixed parts are three views over the table's own model and selection, laid over
// its viewport: the heading rows (scrolling sideways with the table), the row labels
// (scrolling up and down with it) and the corner where both meet.
#include <QTableWidget>

class QLabel;

namespace kestrova::ui {

class FixedPane;

class ReportTable : public QTableWidget {
    Q_OBJECT
public:
    explicit ReportTable(QWidget *parent = nullptr);

    // A merged block, shown as one cell by the table and its fixed parts.
    void setBlock(int row, int col, int rows, int cols);
    void clearBlocks();
    // Rows 0 … rows−1 (title and headings) and column 0 stay in place.
    void setFixedRows(int rows);
    int fixedRows() const { return m_fixedRows; }
    // After the cells and spans are set: columns as wide as their texts need (at least
    // the given widths), heading rows as high as their wrapped texts need (at least the
    // heights the rows have now).
    void fitToContents(int labelWidth, int valueWidth);
    // Keeps the label at the bottom right of the title row, over the last column.
    void attachCaption(QLabel *label);
    QLabel *caption() const { return m_caption; }

    static constexpr int kMinColumnWidth = 24;

    // Brings a cell into sight outside the fixed headings and labels.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

signals:
    // Ctrl+C: the window puts the selected cells on the clipboard.
    void copyRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    FixedPane *makePane(const QString &name);
    void syncPanes();
    void placePanes();
    void placeCaption();
    void fitHeadingRows();
    int fixedHeight() const;
    // Inside a merged block but not its top-left cell.
    bool isCovered(int row, int col) const;
    // The column whose right edge lies at x of a pane's viewport, or -1.
    int edgeAt(const FixedPane *pane, int x) const;
    bool dragEdge(FixedPane *pane, QEvent *event);

    int m_fixedRows = 0;
    QList<QRect> m_blocks; // x = column, y = row
    QList<int> m_baseHeights; // the heading rows' heights before they were fitted
    FixedPane *m_top = nullptr;
    FixedPane *m_corner = nullptr;
    FixedPane *m_left = nullptr;
    QLabel *m_caption = nullptr;
    int m_dragColumn = -1;
    int m_dragStartX = 0;
    int m_dragStartWidth = 0;
    bool m_fitting = false;
};

} // namespace kestrova::ui
