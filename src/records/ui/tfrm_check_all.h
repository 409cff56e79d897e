#pragma once
// 全部校验: every record against the entry form's rules, the failures in a list that
// sorts by any column and filters by rule; a double click opens the record in the entry
// form on the field to correct. The check reads only; the list is made again after the
// form was closed, so a corrected record leaves it.
#include "records/record_check.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace kestrova::ui {

class TFrmCheckAll : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCheckAll(QWidget *parent = nullptr);

    // Runs the check again and shows its list; false after a database error (shown).
    bool runCheck();
    // Shows only the failures of that rule (0 … 25), or all of them with -1.
    void filterRule(int rule);
    // Opens the entry form on the record of the view row, the failing field focused.
    void openRow(int viewRow);
    void BitBtn1Click(); // 保存表格: the list as shown into a workbook

    QTableView *grid() const { return m_grid; }
    QLabel *summary() const { return m_summary; }
    QComboBox *ruleFilter() const { return m_rule; }
    const CheckResult &result() const { return m_result; }

private:
    void buildUi();
    void fill();
    QList<QStringList> shownRows() const;

    CheckResult m_result;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_view = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_summary = nullptr;  // LabelSummary
    QComboBox *m_rule = nullptr;  // ComboBoxRule
    QPushButton *m_save = nullptr; // BitBtn1
    QPushButton *m_close = nullptr; // BitBtn2
};

} // namespace kestrova::ui
