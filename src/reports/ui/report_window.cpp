#include "reports/ui/report_window.h"

#include "app/ui/prompter.h"
#include "data/context.h"
#include "data/database.h"
#include "data/store.h"
#include "data/task_record.h"
#include "reports/grid_copy.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/ui/report_chart_pane.h"
#include "reports/ui/report_table.h"
#include "reports/window_class_state.h"
#ifdef KESTROVA_REPORTS_XLS
#include "reports/report_export.h"
#include "xls/errors.h"
#endif

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
QColor colour(reports::Rgb rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

// The narrowest columns; wider where a value, label or heading needs it.
constexpr int kLabelColumnWidth = 170;
constexpr int kValueColumnWidth = 110;
} // namespace

ReportWindow::ReportWindow(const reports::ReportDefinition &def, QWidget *parent) : QDialog(parent), m_def(def)
{
    setObjectName(def.className);
    setModal(true);
    setWindowState(windowState() | Qt::WindowMaximized);

    auto *menu = new QMenuBar(this);
    QMenu *back = menu->addMenu(QStringLiteral("返回"));
    back->setObjectName(QStringLiteral("N1"));
    QAction *backItem = back->addAction(QStringLiteral("返回"));
    backItem->setObjectName(QStringLiteral("N2"));
    connect(backItem, &QAction::triggered, this, &QDialog::accept);
    QMenu *chartMenu = menu->addMenu(QStringLiteral("图表"));
    chartMenu->setObjectName(QStringLiteral("N3"));
    m_chartAction = chartMenu->addAction(QStringLiteral("图表"));
    m_chartAction->setObjectName(QStringLiteral("N4"));
    m_chartAction->setCheckable(true);
    m_saveChartAction = chartMenu->addAction(QStringLiteral("图表另存为"));
    m_saveChartAction->setObjectName(QStringLiteral("N5"));
    m_saveChartAction->setEnabled(false);
    connect(m_chartAction, &QAction::triggered, this, &ReportWindow::showChart);
    connect(m_saveChartAction, &QAction::triggered, this, &ReportWindow::saveChart);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    m_save = new QPushButton(QStringLiteral("保存表格"), panel);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    m_close = new QPushButton(QStringLiteral("返  回"), panel);
    m_close->setObjectName(QStringLiteral("BitBtn2"));
    m_chartButton = new QPushButton(QStringLiteral("图表"), panel);
    m_chartButton->setObjectName(QStringLiteral("BitBtn3"));
    m_chartButton->setCheckable(true);
    m_saveChartButton = new QPushButton(QStringLiteral("图表另存为"), panel);
    m_saveChartButton->setObjectName(QStringLiteral("BitBtn4"));
    m_saveChartButton->setEnabled(false);
    auto *buttons = new QHBoxLayout(panel);
    buttons->setContentsMargins(8, 6, 8, 6);
    for (QPushButton *b : {m_save, m_close, m_chartButton, m_saveChartButton})
        buttons->addWidget(b);
    buttons->addStretch();
    connect(m_save, &QPushButton::clicked, this, &ReportWindow::saveTable);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_chartButton, &QPushButton::clicked, this, &ReportWindow::showChart);
    connect(m_saveChartButton, &QPushButton::clicked, this, &ReportWindow::saveChart);
    auto *saveKey = new QShortcut(QKeySequence::Save, this);
    connect(saveKey, &QShortcut::activated, this, &ReportWindow::saveTable);

    // The unit caption lies over the grid, so it sits in the grid's box, not its layout.
    auto *gridBox = new QWidget;
    m_table = new ReportTable(gridBox);
    m_table->setObjectName(QStringLiteral("AdvStringGrid1"));
    m_table->setAccessibleName(QStringLiteral("报表"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { clickCell(row); });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0)
            selectCell(row);
    });
    connect(m_table, &ReportTable::copyRequested, this, &ReportWindow::copySelection);
    auto *gridLayout = new QVBoxLayout(gridBox);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(m_table);
    m_unit = new QLabel(def.unit.text, gridBox);
    m_unit->setObjectName(QStringLiteral("Label5"));
    m_unit->setVisible(!def.unit.text.isEmpty());
    m_table->attachCaption(m_unit);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(gridBox);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu);
    layout->addWidget(panel);
    layout->addWidget(m_splitter, 1);

    formCreate();
}

void ReportWindow::formCreate()
{
    m_title = context().reportTitle;
    try {
        auto db = openStore(StoreOpen::MustExist);
        if (const auto task = loadTask(*db))
            m_year = task->year;
        reports::buildReport(*db, context(), m_def, reports::windowClassState(m_def.className), m_grid);
    } catch (const reports::ReportError &e) {
        prompter().error(this, e.message());
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    } catch (const std::exception &e) {
        prompter().error(this, QString::fromUtf8(e.what()));
    }
    showGrid();
}

void ReportWindow::showGrid()
{
    const QSignalBlocker block(m_table);
    m_table->clear();
    m_table->clearBlocks();
    m_table->setColumnCount(m_grid.columnCount());
    m_table->setRowCount(m_grid.rowCount());
    const QFont base = m_table->font();
    const int headingRows = m_def.headingRows;
    for (int r = 0; r < m_grid.rowCount(); ++r) {
        m_table->setRowHeight(r, m_grid.rowHeight(r));
        const bool total = r >= headingRows && m_grid.rowKind(r) != reports::RowKind::Detail;
        for (int c = 0; c < m_grid.columnCount(); ++c) {
            // Headings of several lines separate them with CR, which Qt does not break on.
            auto *item = new QTableWidgetItem(QString(m_grid.text(c, r)).replace(QLatin1Char('\r'), QLatin1Char('\n')));
            // Title and headings centred; row labels left, numbers right.
            Qt::Alignment h = Qt::AlignHCenter;
            if (r >= headingRows)
                h = c == 0 ? Qt::AlignLeft : Qt::AlignRight;
            item->setTextAlignment(h | Qt::AlignVCenter);
            item->setBackground(colour(m_grid.fill(c, r)));
            item->setForeground(colour(m_grid.fontColour(c, r)));
            if (const int size = m_grid.fontSize(c, r); size || total) {
                QFont f = base;
                if (size)
                    f.setPointSize(size);
                f.setBold(total);
                item->setFont(f);
            }
            m_table->setItem(r, c, item);
        }
    }
    for (const auto &m : m_grid.merges())
        if (m.row + m.rows <= m_grid.rowCount())
            m_table->setBlock(m.row, m.col, m.rows, m.cols);
    m_table->setFixedRows(std::min(headingRows, m_grid.rowCount()));
    m_table->fitToContents(kLabelColumnWidth, kValueColumnWidth);
    // A current cell made silently now keeps the view from choosing one when it first
    // gets the focus, which would count as a selection and move the highlight.
    const int row = reports::windowClassState(m_def.className).highlightedRow;
    if (row >= 0 && row < m_grid.rowCount())
        m_table->setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
}

void ReportWindow::showEvent(QShowEvent *event)
{
    setWindowTitle(reports::windowCaption(context(), m_def));
    QDialog::showEvent(event);
    m_table->setFocus();
}

void ReportWindow::paintRow(int row, reports::Rgb rgb)
{
    if (row < 0 || row >= m_grid.rowCount())
        return;
    m_grid.paintRow(row, rgb);
    for (int c = 0; c < m_grid.columnCount(); ++c)
        if (QTableWidgetItem *item = m_table->item(row, c))
            item->setBackground(colour(rgb));
}

void ReportWindow::setSelectionColour(reports::Rgb rgb)
{
    QPalette p = m_table->palette();
    p.setColor(QPalette::Highlight, colour(rgb));
    p.setColor(QPalette::HighlightedText, Qt::black);
    m_table->setPalette(p);
}

void ReportWindow::highlight(int row, int paintAbove, int unpaintAbove)
{
    int &highlighted = reports::windowClassState(m_def.className).highlightedRow;
    if (highlighted > unpaintAbove)
        paintRow(highlighted, reports::kWhite);
    if (row > paintAbove)
        paintRow(row, reports::kYellow);
    highlighted = row;
}

void ReportWindow::clickCell(int row)
{
    setSelectionColour(row < 2 ? reports::kWhite : reports::kYellow);
    highlight(row, m_def.thresholds.clickPaint, m_def.thresholds.clickUnpaint);
}

void ReportWindow::selectCell(int row)
{
    setSelectionColour(reports::kYellow);
    highlight(row, m_def.thresholds.selectPaint, m_def.thresholds.selectUnpaint);
}

void ReportWindow::copySelection()
{
    QList<int> rows, columns;
    for (const QModelIndex &i : m_table->selectionModel()->selectedIndexes()) {
        rows << i.row();
        columns << i.column();
    }
    if (rows.isEmpty() && m_table->currentIndex().isValid()) {
        rows << m_table->currentRow();
        columns << m_table->currentColumn();
    }
    const QString text = reports::copiedCells(m_grid, m_def.headingRows, rows, columns);
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void ReportWindow::showChart(bool on)
{
    if (on && !m_chart) {
        m_chart = new ReportChartPane(m_def, m_grid, m_splitter);
        m_splitter->addWidget(m_chart);
    }
    if (m_chart)
        m_chart->setVisible(on);
    if (on) {
        // The chart takes a good part of the width; the grid keeps the rest and scrolls.
        const int total = std::max(m_splitter->width(), 800);
        const int chart = std::clamp(total * 45 / 100, 420, std::max(420, total - 320));
        m_splitter->setSizes({total - chart, chart});
    }
    m_chartButton->setChecked(on);
    m_chartAction->setChecked(on);
    m_saveChartButton->setEnabled(on);
    m_saveChartAction->setEnabled(on);
}

void ReportWindow::saveChart()
{
    if (!m_chart || !m_chart->isVisible())
        return;
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.caption = QStringLiteral("图表另存为");
    request.defaultSuffix = QStringLiteral("png");
    request.filter = QStringLiteral("PNG 图片 (*.png);;SVG 图形 (*.svg)");
    request.suggestedName = windowTitle() + QStringLiteral(".png");
    const auto path = prompter().file(this, request);
    if (!path)
        return;
    if (const auto failure = m_chart->save(*path)) {
        prompter().message(this, QStringLiteral("提示"), *failure, Icon::Warning);
        return;
    }
    prompter().message(this, QStringLiteral("提示"), QStringLiteral("保存成功！"), Icon::Information);
}

void ReportWindow::saveTable()
{
#ifdef KESTROVA_REPORTS_XLS
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.caption = QStringLiteral("保存表格");
    request.defaultSuffix = QStringLiteral("xls");
    request.filter = kWorkbookFilter;
    request.suggestedName = reports::defaultExportName(m_def, m_title, m_grid, m_year);
    const auto path = prompter().file(this, request);
    if (!path)
        return;
    try {
        reports::exportReport(m_grid, m_def, reports::templatePath(m_def), *path);
    } catch (const reports::ReportError &e) {
        prompter().error(this, e.message());
        return;
    } catch (const std::exception &e) {
        prompter().error(this, QString::fromUtf8(e.what()));
        return;
    }
    prompter().message(this, QStringLiteral("提示"), QStringLiteral("保存成功！"), Icon::Information);
#endif
}

} // namespace kestrova::ui
