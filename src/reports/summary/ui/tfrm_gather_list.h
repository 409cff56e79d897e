#pragma once
// 数据分析--数据汇总: the 72 indicators summed for one part of the tree, shown in
// the paper-form layout of the entry form.
#include "data/indicators.h"
#include "reports/summary/summary_selection.h"
#include "reports/summary/summary_tree.h"

#include <QDialog>

#include <array>
#include <optional>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestrova::ui {

class IndicatorBlockWidget;

class TFrmGatherList : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGatherList(QWidget *parent = nullptr);

    // The handlers under their window names, so tests drive what the user does.
    void TreeView1Click(QTreeWidgetItem *item);
    void BitBtn1Click(); // 统计
    void BitBtn6Click(); // 保存表格
    void BitBtn5Click(); // 返回

    SummarySelection selection() const;
    Ownership ownership() const;
    IndicatorBlockWidget *indicators() const { return m_block; }
    QTreeWidget *tree() const { return m_tree; }

private:
    void FormCreate();
    void buildTree();
    void addChildren(QTreeWidgetItem *item, const std::vector<SummaryNode> &nodes);
    void setSelection(const SummarySelection &s);
    void Edit5Change();
    // Clears the sums and disables 保存表格 when the selection or the ownership is no
    // longer the one they were summed for.
    void dropStaleFigures();
    void fitFields();
    void fitTreeWidth();
    QWidget *buildHeader();
    QWidget *buildSelectionFields();

    QTreeWidget *m_tree = nullptr;
    IndicatorBlockWidget *m_block = nullptr;
    QLineEdit *m_edit1 = nullptr, *m_edit2 = nullptr, *m_edit3 = nullptr, *m_edit4 = nullptr, *m_edit11 = nullptr;
    // The selection: Edit9 category, Edit8 enterprise, Edit5 province, Edit6 city,
    // Edit7 county, Edit10 corps.
    QLineEdit *m_edit5 = nullptr, *m_edit6 = nullptr, *m_edit7 = nullptr, *m_edit8 = nullptr, *m_edit9 = nullptr,
              *m_edit10 = nullptr;
    QRadioButton *m_all = nullptr, *m_state = nullptr, *m_nonState = nullptr;
    QPushButton *m_save = nullptr;
    QSplitter *m_body = nullptr;
    std::array<int, kIndicatorCount> m_fieldWidths{};
    // What the shown sums were computed for; empty while none are shown.
    std::optional<std::pair<SummarySelection, Ownership>> m_shown;
};

} // namespace kestrova::ui
