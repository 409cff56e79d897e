#pragma once
// The report window: the grid of one summary table, 保存表格 and 返回. It builds its
// table once, while it is created, from the report title and level in the context.
#include "reports/report_definition.h"
#include "reports/report_grid.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kestrova::ui {

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    ReportWindow(const reports::ReportDefinition &def, QWidget *parent = nullptr);

    const reports::ReportGrid &grid() const { return m_grid; }
    QTableWidget *table() const { return m_table; }

    // The grid behaviour on a click or a selection of a cell in row R.
    void clickCell(int row);
    void selectCell(int row);
    // Places the unit caption above the last column with the given offset.
    void placeUnitCaption(int offset);
    // 保存表格.
    void saveTable();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    QTableWidget *m_table = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace kestrova::ui
