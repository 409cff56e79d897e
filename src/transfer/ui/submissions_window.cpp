#include "transfer/ui/submissions_window.h"

#include "app/ui/prompter.h"
#include "app/ui/workbook_save.h"
#include "app/ui/text_table_model.h"
#include "data/file_error.h"
#include "data/store.h"
#include "transfer/table_workbook.h"

#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
const QSet<int> kNumberColumns{4, 5};
} // namespace

SubmissionsWindow::SubmissionsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmSubmissions"));
    setWindowTitle(QStringLiteral("报送情况"));

    transfer::SubmissionList list;
    {
        auto db = openStore(StoreOpen::MustExist);
        list = transfer::submissionList(*db);
    }
    QList<QStringList> table{transfer::submissionHeadings()};
    table << transfer::submissionTable(list);
    QSet<int> empty;
    int arrived = 0;
    for (int i = 0; i < list.lines.size(); ++i) {
        if (list.lines[i].records == 0)
            empty << i;
        if (list.lines[i].imports > 0)
            ++arrived;
    }
    m_model = new TextTableModel(this);
    m_model->setTable(table, kNumberColumns);
    m_model->setMarkedRows(empty);

    auto *summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("LabelSummary"));
    summary->setText(list.lines.isEmpty()
                         ? QStringLiteral("本单位（%1）没有下级单位。").arg(list.area)
                         : QStringLiteral("本单位：%1；下级单位 %2 个，已报送 %3 个，未报送 %4 个，无记录 %5 个（标红）。")
                               .arg(list.area)
                               .arg(list.lines.size())
                               .arg(arrived)
                               .arg(list.lines.size() - arrived)
                               .arg(empty.size()));
    summary->setWordWrap(true);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("GridSubmissions"));
    m_view->setAccessibleName(QStringLiteral("报送情况"));
    m_view->setModel(m_model);
    // The offices' own order until a heading is clicked.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->resizeColumnsToContents();

    auto *saveButton = new QPushButton(QStringLiteral("保存表格"), this);
    saveButton->setObjectName(QStringLiteral("BitBtn1"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("BitBtn2"));
    connect(saveButton, &QPushButton::clicked, this, &SubmissionsWindow::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    resize(1000, 640);
}

void SubmissionsWindow::save()
{
    saveWorkbookAs(
        this, QStringLiteral("报送情况-") + QDate::currentDate().toString(QStringLiteral("MM-dd")),
        [&](const QString &path) {
            transfer::writeTableWorkbook(path, {{QStringLiteral("报送情况"), m_model->table(), kNumberColumns.values()}});
        },
        QStringLiteral("保存表格"));
}

} // namespace kestrova::ui
