#include "reports/ui/report_window.h"

#include "app/ui/prompter.h"
#include "data/context.h"
#include "data/database.h"
#include "data/store.h"
#include "data/task_record.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/window_class_state.h"
#ifdef KESTROVA_REPORTS_XLS
#include "reports/report_export.h"
#include "xls/errors.h"
#endif

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
QColor colour(reports::Rgb rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

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

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(68);
    m_save = new QPushButton(QStringLiteral("保存表格"), panel);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    m_close = new QPushButton(QStringLiteral("返  回"), panel);
    m_close->setObjectName(QStringLiteral("BitBtn2"));
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 6, 8, 0);
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addLayout(buttons);
    panelLayout->addStretch();
    connect(m_save, &QPushButton::clicked, this, &ReportWindow::saveTable);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("AdvStringGrid1"));
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->viewport()->installEventFilter(this);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { clickCell(row); });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (row >= 0)
            selectCell(row);
    });

    m_unit = new QLabel(def.unit.text, panel);
    m_unit->setObjectName(QStringLiteral("Label5"));
    m_unit->setVisible(!def.unit.text.isEmpty());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menu);
    layout->addWidget(panel);
    layout->addWidget(m_table, 1);

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
    placeUnitCaption(m_def.unit.offsetAtCreation);
}

void ReportWindow::showGrid()
{
    const QSignalBlocker block(m_table);
    m_table->clear();
    m_table->setColumnCount(m_grid.columnCount());
    m_table->setRowCount(m_grid.rowCount());
    for (int c = 0; c < m_grid.columnCount(); ++c)
        m_table->setColumnWidth(c, c == 0 ? kLabelColumnWidth : kValueColumnWidth);
    const QFont base = m_table->font();
    for (int r = 0; r < m_grid.rowCount(); ++r) {
        m_table->setRowHeight(r, m_grid.rowHeight(r));
        for (int c = 0; c < m_grid.columnCount(); ++c) {
            // Headings of several lines separate them with CR, which Qt does not break on.
            auto *item = new QTableWidgetItem(QString(m_grid.text(c, r)).replace(QLatin1Char('\r'), QLatin1Char('\n')));
            // Values centred; labels left except in the title and first heading row.
            const Qt::Alignment h = (c > 0 || r < 2) ? Qt::AlignHCenter : Qt::AlignLeft;
            item->setTextAlignment(h | Qt::AlignVCenter);
            item->setBackground(colour(m_grid.fill(c, r)));
            item->setForeground(colour(m_grid.fontColour(c, r)));
            if (const int size = m_grid.fontSize(c, r)) {
                QFont f = base;
                f.setPointSize(size);
                item->setFont(f);
            }
            m_table->setItem(r, c, item);
        }
    }
    for (const auto &m : m_grid.merges())
        if (m.row + m.rows <= m_grid.rowCount())
            m_table->setSpan(m.row, m.col, m.rows, m.cols);
    // A current cell made silently now keeps the view from choosing one when it first
    // gets the focus, which would count as a selection and move the highlight.
    const int row = reports::windowClassState(m_def.className).highlightedRow;
    if (row >= 0 && row < m_grid.rowCount())
        m_table->setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
}

void ReportWindow::placeUnitCaption(int offset)
{
    int left = 0;
    for (int c = 0; c + 1 < m_grid.columnCount(); ++c)
        left += m_table->columnWidth(c);
    m_unit->setGeometry(left + offset, 45, std::max(m_unit->sizeHint().width(), 80), 20);
    m_unit->update();
}

void ReportWindow::showEvent(QShowEvent *event)
{
    setWindowTitle(reports::windowCaption(context(), m_def));
    QDialog::showEvent(event);
}

bool ReportWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::MouseButtonRelease)
        placeUnitCaption(m_def.unit.offsetOnMouseUp);
    return QDialog::eventFilter(watched, event);
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
