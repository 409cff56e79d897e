#include "records/ui/tfrm_log.h"

#include "app/ui/window_fit.h"
#include "app/ui/window_registry.h"
#include "records/record_log.h"
#include "records/ui/store_access.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kestrova::ui {

TFrmLog::TFrmLog(const QString &name, const QString &orgCode, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmLog"));
    noteWindow(objectName(), this);
    setWindowTitle(QStringLiteral("修改日志"));

    auto *root = new QVBoxLayout(this);
    m_heading = new QLabel(QStringLiteral("企业名称：%1").arg(name), this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(m_heading);

    m_grid = new QTableWidget(0, 4, this);
    m_grid->setObjectName(QStringLiteral("LogGrid"));
    m_grid->setAccessibleName(QStringLiteral("修改日志"));
    m_grid->setHorizontalHeaderLabels(
        {QStringLiteral("修改时间"), QStringLiteral("修改项目"), QStringLiteral("原值"), QStringLiteral("新值")});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    root->addWidget(m_grid, 1);

    auto *empty = new QLabel(QStringLiteral("这条纪录还没有修改日志。"), this);
    empty->setObjectName(QStringLiteral("LabelEmpty"));
    empty->hide();
    root->addWidget(empty);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *back = new QPushButton(QStringLiteral("返回"), this);
    back->setObjectName(QStringLiteral("BitBtn1"));
    back->setDefault(true);
    buttons->addWidget(back);
    root->addLayout(buttons);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);

    std::vector<LogEntry> entries;
    withStore(this, [&](Database &db) { entries = recordLog(db, name, orgCode); });
    m_grid->setRowCount(int(entries.size()));
    for (int r = 0; r < int(entries.size()); ++r) {
        const LogEntry &e = entries[size_t(r)];
        const QString cells[] = {e.time, e.column, e.oldValue, e.newValue};
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
    for (int c = 0; c < 3; ++c)
        m_grid->setColumnWidth(c, std::min(std::max(m_grid->columnWidth(c) + 16, 110), 260));
    empty->setVisible(entries.empty());
    fitToScreen(this, QSize(760, 480));
}

} // namespace kestrova::ui
