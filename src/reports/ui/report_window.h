#pragma once
// The report window: the grid of one summary table, 保存表格 and 返回, and the chart
// of the table beside the grid (图表). It builds its table once, while it is created,
// from the report title and level in the context.
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QSplitter;

namespace kestrova::ui {

class ReportChartPane;
class ReportTable;

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    ReportWindow(const reports::ReportDefinition &def, QWidget *parent = nullptr);

    const reports::ReportGrid &grid() const { return m_grid; }
    ReportTable *table() const { return m_table; }
    QLabel *unitCaption() const { return m_unit; }

    // The grid behaviour on a click or a selection of a cell in row R.
    void clickCell(int row);
    void selectCell(int row);
    // 保存表格.
    void saveTable();
    // Ctrl+C: the selected cells, with their headings and row labels, on the clipboard.
    void copySelection();

    // 图表: shows or hides the chart beside the grid; made on first showing.
    void showChart(bool on);
    ReportChartPane *chartPane() const { return m_chart; }
    // 图表另存为.
    void saveChart();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void formCreate();
    void showGrid();
    void highlight(int row, int paintAbove, int unpaintAbove);
    void paintRow(int row, reports::Rgb colour);
    void setSelectionColour(reports::Rgb colour);

    const reports::ReportDefinition &m_def;
    reports::ReportGrid m_grid;
    QString m_title; // the report title the window was made for
    QString m_year;  // of the task record, for the suggested file name
    ReportTable *m_table = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_chartButton = nullptr;
    QPushButton *m_saveChartButton = nullptr;
    QAction *m_chartAction = nullptr;
    QAction *m_saveChartAction = nullptr;
    QSplitter *m_splitter = nullptr;
    ReportChartPane *m_chart = nullptr;
};

} // namespace kestrova::ui
