#pragma once
// The enterprise list "Kestrova年报表": the records newest first, the search filters,
// and the way to the entry form, the deletions and the custom query.
#include "records/sql_condition.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kestrova::ui {

class RecordListModel;

class TFrmList1 : public QDialog {
    Q_OBJECT
public:
    explicit TFrmList1(QWidget *parent = nullptr);
    ~TFrmList1() override;

    // The enterprise list reference: the list window made last (the custom query refills
    // it); null once it is gone.
    static TFrmList1 *current();
    // The selected grid row, kept for the whole run of the program (0 = header row).
    static int selectedRow();
    static void setSelectedRow(int row);

    // Shows the records meeting the condition; on a database error the grid keeps
    // what it showed and false comes back.
    bool ini(const SqlCondition &condition = {});

    RecordListModel *model() const { return m_model; }
    QTableView *grid() const { return m_grid; }

    void BitBtn2Click();        // 查询
    void BitBtn4Click();        // 添加
    void BitBtn1Click();        // 修改
    void BitBtn3Click();        // 删除
    void BitBtn6Click();        // 删除空记录
    void BitBtndefineClick();   // 自定义查询
    void showLog();             // 修改日志 of the selected record

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void fillProvinceFilter();
    void selectRow(int row);
    void openForm(int entryMode);
    // Whether a record is selected; says "请先选择一条记录！" when not.
    bool recordChosen();

    RecordListModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    QComboBox *m_province = nullptr;   // ComboBox1
    QComboBox *m_ownership = nullptr;  // ComboBox2
    QComboBox *m_business = nullptr;   // ComboBox3
    QLineEdit *m_name = nullptr;       // Edit1
    QLineEdit *m_from = nullptr;       // Edit2
    QLineEdit *m_to = nullptr;         // Edit3
    QLineEdit *m_affiliation = nullptr; // Edit4
    QLabel *m_count = nullptr;         // how many records the grid shows
};

} // namespace kestrova::ui
