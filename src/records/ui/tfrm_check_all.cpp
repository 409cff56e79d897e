#include "records/ui/tfrm_check_all.h"

#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "app/ui/workbook_save.h"
#include "data/context.h"
#include "data/file_error.h"
#include "records/check_workbook.h"
#include "records/ui/store_access.h"
#include "records/ui/tfrm_input1.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
// The sort key of every cell (numbers for ID and rule, so 规则10 follows 规则9), the
// rule a row stands for, and on column 0 the field to focus.
constexpr int kSortRole = Qt::UserRole;
constexpr int kRuleRole = Qt::UserRole + 1;
constexpr int kFocusRole = Qt::UserRole + 2;
constexpr int kRuleColumn = 3;
} // namespace

TFrmCheckAll::TFrmCheckAll(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmCheckAll"));
    setWindowTitle(QStringLiteral("全部校验"));
    buildUi();
    runCheck();
}

void TFrmCheckAll::buildUi()
{
    m_rule = new QComboBox(this);
    m_rule->setObjectName(QStringLiteral("ComboBoxRule"));
    m_rule->setAccessibleName(QStringLiteral("规则"));
    m_save = new QPushButton(QStringLiteral("保存表格"), this);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    m_close = new QPushButton(QStringLiteral("返  回"), this);
    m_close->setObjectName(QStringLiteral("BitBtn2"));
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LabelSummary"));
    m_summary->setWordWrap(true);

    m_model = new QStandardItemModel(0, int(checkColumns().size()), this);
    m_model->setHorizontalHeaderLabels(checkColumns());
    m_view = new QSortFilterProxyModel(this);
    m_view->setSourceModel(m_model);
    m_view->setSortRole(kSortRole);
    m_view->setFilterRole(kRuleRole);
    m_view->setFilterKeyColumn(kRuleColumn);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setAccessibleName(QStringLiteral("未通过校验的记录"));
    m_grid->setModel(m_view);
    m_grid->setSortingEnabled(true);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->sortByColumn(0, Qt::AscendingOrder);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("规则："), this));
    top->addWidget(m_rule, 1);
    top->addStretch(1);
    top->addWidget(m_save);
    top->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addWidget(m_grid, 1);

    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, &TFrmCheckAll::BitBtn1Click);
    connect(m_rule, &QComboBox::currentIndexChanged, this,
            [this](int index) { filterRule(index < 0 ? -1 : m_rule->itemData(index).toInt()); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &i) { openRow(i.row()); });
    fitToScreen(this, QSize(1100, 640));
}

bool TFrmCheckAll::runCheck()
{
    std::optional<CheckResult> result;
    if (!withStore(this, [&](Database &db) { result = checkAllRecords(db); }))
        return false;
    m_result = std::move(*result);
    fill();
    return true;
}

void TFrmCheckAll::fill()
{
    const int shownRule = m_rule->currentIndex() < 0 ? -1 : m_rule->currentData().toInt();
    m_model->removeRows(0, m_model->rowCount());
    m_model->setRowCount(int(m_result.failures.size()));
    int r = 0;
    for (const CheckFailure &f : m_result.failures) {
        const QStringList texts = checkRow(f);
        for (int c = 0; c < texts.size(); ++c) {
            auto *item = new QStandardItem(texts[c]);
            item->setData(c == 0 ? QVariant(f.id) : c == kRuleColumn ? QVariant(f.failure.rule) : QVariant(texts[c]),
                          kSortRole);
            item->setData(QString::number(f.failure.rule), kRuleRole);
            if (c == 0)
                item->setData(f.failure.focus, kFocusRole);
            m_model->setItem(r, c, item);
        }
        ++r;
    }
    {
        const QSignalBlocker block(m_rule);
        m_rule->clear();
        m_rule->addItem(QStringLiteral("全部规则"), -1);
        for (const auto &[rule, count] : m_result.recordsPerRule)
            m_rule->addItem(QStringLiteral("%1（%2 个记录）").arg(ruleLabel(rule)).arg(count), rule);
        m_rule->setCurrentIndex(std::max(0, m_rule->findData(shownRule)));
    }
    filterRule(m_rule->currentData().toInt());
    m_grid->resizeColumnsToContents();
    m_summary->setText(m_result.failures.empty()
                           ? QStringLiteral("共校验 %1 个记录，全部通过。").arg(m_result.records)
                           : checkSummary(m_result));
    m_save->setEnabled(!m_result.failures.empty());
}

void TFrmCheckAll::filterRule(int rule)
{
    m_view->setFilterRegularExpression(rule < 0 ? QRegularExpression()
                                                : QRegularExpression(QStringLiteral("^%1$").arg(rule)));
}

void TFrmCheckAll::openRow(int viewRow)
{
    const QModelIndex first = m_view->index(viewRow, 0);
    if (!first.isValid())
        return;
    const qint64 id = first.data(kSortRole).toLongLong();
    const QString focus = first.data(kFocusRole).toString();
    context().enterpriseId = id;
    context().enterpriseName = m_view->index(viewRow, 1).data().toString();
    context().entryMode = 1;
    auto *form = new TFrmInput1(this);
    form->focusField(focus);
    // Once shown and laid out, the field is brought into view again.
    QTimer::singleShot(0, form, [form, focus] { form->focusField(focus); });
    showModal(form);
    runCheck();
}

QList<QStringList> TFrmCheckAll::shownRows() const
{
    QList<QStringList> rows;
    for (int r = 0; r < m_view->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < m_view->columnCount(); ++c)
            row << m_view->index(r, c).data().toString();
        rows << row;
    }
    return rows;
}

void TFrmCheckAll::BitBtn1Click()
{
    saveWorkbookAs(
        this, QStringLiteral("全部校验(%1)").arg(QDate::currentDate().toString(QStringLiteral("MM-dd"))),
        [&](const QString &path) { saveCheckWorkbook(shownRows(), m_summary->text(), path); },
        QStringLiteral("保存表格"));
}

} // namespace kestrova::ui
