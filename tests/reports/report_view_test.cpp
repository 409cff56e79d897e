// The report window as a person reads and uses it, offscreen: every heading and value
// whole, headings and labels fixed while the values scroll, a cut cell's tooltip, the
// clipboard, and the chart beside the grid with its bars read back from its series.
#include "report_test_support.h"

#include "app/system/report_menu.h"
#include "app/ui/window_registry.h"
#include "data/demo_records.h"
#include "data/number_format.h"
#include "reports/grid_copy.h"
#include "reports/ui/report_cell_delegate.h"
#include "reports/ui/report_chart_pane.h"
#include "reports/ui/report_table.h"
#include "reports/ui/report_window.h"
#include "reports/ui/report_windows.h"
#include "support/gui_app.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QHelpEvent>
#include <QHorizontalBarSeries>
#include <QHorizontalPercentBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString T112 = QStringLiteral("表1-1-2 全国粮油仓储企业数量汇总表（分地区）");
const QString T212 = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString T232 = QStringLiteral("表2-3-2 按仓型划分全国符合储粮要求仓房容量汇总表（分地区）");
const QString T311 = QStringLiteral("表3-1-1 全国粮油仓储企业附属设施汇总表");
const QString T422 = QStringLiteral("表4-2-2 全国烘干设备汇总表（分地区）");
const QString T62 = QStringLiteral("表6-2 全国储粮药剂管理情况汇总表（分地区）");

class ReportView : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        guiApp();
        ui::registerReportWindows();
    }
    void SetUp() override
    {
        reports::resetWindowClassStates();
        addDemoRecords(*store.db, 3000, 11);
        context().level = QStringLiteral("国家级汇总");
        context().province.clear();
    }
    std::unique_ptr<ui::ReportWindow> open(const QString &title, QSize size = QSize(1366, 700))
    {
        context().reportTitle = title;
        const auto *def = reports::definitionForTitle(title);
        auto w = std::unique_ptr<ui::ReportWindow>(
            qobject_cast<ui::ReportWindow *>(ui::createWindow(def->className, nullptr)));
        w->setWindowState(Qt::WindowNoState);
        w->resize(size);
        w->show();
        QApplication::processEvents();
        return w;
    }
    static QTableView *pane(ui::ReportWindow &w, const char *name)
    {
        for (auto *v : w.table()->findChildren<QTableView *>())
            if (v->accessibleName() == QString::fromUtf8(name))
                return v;
        return nullptr;
    }
    // Cells whose text does not show whole where the table draws them.
    static QStringList cutCells(const ui::ReportTable &t)
    {
        QStringList cut;
        for (int r = 0; r < t.rowCount(); ++r)
            for (int c = 0; c < t.columnCount(); ++c) {
                const QTableWidgetItem *item = t.item(r, c);
                if (!item || item->text().isEmpty())
                    continue;
                const QSize cell = t.visualRect(t.model()->index(r, c)).size();
                if (!ui::ReportCellDelegate::fits(item->font(), item->text(), cell))
                    cut << QStringLiteral("(%1,%2) %3").arg(r).arg(c).arg(item->text());
            }
        return cut;
    }
    TempStore store;
    ScriptedPrompter prompter;
};

TEST_F(ReportView, EveryWindowShowsEveryHeadingAndValueWhole)
{
    std::set<QString> seen;
    for (const auto &e : reportMenuEntries()) {
        if (!seen.insert(e.className).second)
            continue;
        SCOPED_TRACE(e.title.toStdString());
        auto w = open(e.title);
        EXPECT_EQ(cutCells(*w->table()), QStringList());
    }
    EXPECT_EQ(seen.size(), 38u);
}

TEST_F(ReportView, ANarrowedColumnWrapsItsHeadingAndTipsItsCutValues)
{
    auto w = open(T311);
    ui::ReportTable *t = w->table();
    const int headingsBefore = t->rowHeight(2);
    t->setColumnWidth(2, 60); // a person drags the edge of 其中：可用空地面积 to the left
    QApplication::processEvents();
    EXPECT_GT(t->rowHeight(2), headingsBefore); // the heading wrapped into more lines
    for (const QString &c : cutCells(*t))
        EXPECT_FALSE(c.startsWith(QStringLiteral("(1,")) || c.startsWith(QStringLiteral("(2,"))) << c.toStdString();
    // the widest value of the column is cut now; hovering it shows it whole
    t->setColumnWidth(2, 30);
    QApplication::processEvents();
    int row = -1;
    for (int r = 3; r < t->rowCount() && row < 0; ++r)
        if (!ui::ReportCellDelegate::fits(t->item(r, 2)->font(), t->item(r, 2)->text(),
                                          t->visualRect(t->model()->index(r, 2)).size()))
            row = r;
    ASSERT_GE(row, 0);
    QTableView *labels = pane(*w, "行标签");
    ASSERT_NE(labels, nullptr);
    const QPoint at = t->visualRect(t->model()->index(row, 2)).center();
    QHelpEvent tip(QEvent::ToolTip, at, t->viewport()->mapToGlobal(at));
    QApplication::sendEvent(t->viewport(), &tip);
    EXPECT_EQ(QToolTip::text(), t->item(row, 2)->text());
    // a cell that shows whole has no tooltip
    const QPoint whole = t->visualRect(t->model()->index(row, 1)).center();
    QHelpEvent none(QEvent::ToolTip, whole, t->viewport()->mapToGlobal(whole));
    QApplication::sendEvent(t->viewport(), &none);
    QElapsedTimer fading; // the tip fades out over a moment
    fading.start();
    while (QToolTip::isVisible() && fading.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(ReportView, HeadingsAndRowLabelsStayWhileTheValuesScroll)
{
    auto w = open(T212, QSize(600, 500));
    ui::ReportTable *t = w->table();
    QTableView *top = pane(*w, "表头");
    QTableView *left = pane(*w, "行标签");
    ASSERT_TRUE(top && left);
    t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
    t->horizontalScrollBar()->setValue(t->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    ASSERT_GT(t->verticalScrollBar()->value(), 0);
    ASSERT_GT(t->horizontalScrollBar()->value(), 0);
    // the headings: still at the top, scrolled sideways with the values
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->viewport()->mapTo(t, QPoint(0, 0)), t->viewport()->mapTo(t, QPoint(0, 0)));
    EXPECT_EQ(top->rowViewportPosition(0), 0);
    EXPECT_EQ(top->columnViewportPosition(3), t->columnViewportPosition(3));
    // the labels: still at the left, level with their rows
    const int last = t->rowCount() - 1;
    EXPECT_EQ(left->columnViewportPosition(0), 0);
    EXPECT_EQ(left->viewport()->mapTo(t, QPoint(0, left->rowViewportPosition(last))).y(),
              t->viewport()->mapTo(t, QPoint(0, t->rowViewportPosition(last))).y());
    // keys never leave the current cell under a fixed part
    t->setCurrentCell(10, 5);
    t->scrollTo(t->model()->index(10, 5));
    QApplication::processEvents();
    const QRect cell = t->visualRect(t->model()->index(10, 5));
    EXPECT_GE(cell.top(), top->height());
    EXPECT_GE(cell.left(), left->width());
}

// A national summary table is shorter than the window and cannot scroll up and down;
// its labels must still be level with their rows, also once a heading row has grown.
TEST_F(ReportView, RowLabelsStayLevelWithTheirRowsInAShortTable)
{
    auto w = open(T311, QSize(500, 700));
    ui::ReportTable *t = w->table();
    t->setColumnWidth(2, 40); // its heading wraps: the heading rows grow
    QApplication::processEvents();
    QTableView *left = pane(*w, "行标签");
    QTableView *corner = pane(*w, "表头左角");
    ASSERT_TRUE(left && corner);
    for (int r = 3; r < t->rowCount(); ++r)
        EXPECT_EQ(left->viewport()->mapTo(t, QPoint(0, left->rowViewportPosition(r))).y(),
                  t->viewport()->mapTo(t, QPoint(0, t->rowViewportPosition(r))).y())
            << r;
    EXPECT_EQ(corner->viewport()->mapTo(t, QPoint(0, corner->rowViewportPosition(1))).y(),
              t->viewport()->mapTo(t, QPoint(0, t->rowViewportPosition(1))).y());
}

TEST_F(ReportView, CopyPutsTheSelectionWithItsHeadingsOnTheClipboard)
{
    auto w = open(T62);
    ui::ReportTable *t = w->table();
    t->setRangeSelected(QTableWidgetSelectionRange(5, 1, 7, 2), true);
    w->copySelection();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied, reports::copiedCells(w->grid(), 3, {5, 6, 7}, {1, 2}));
    EXPECT_TRUE(copied.startsWith(QStringLiteral("地区\t储粮药剂\t\n")));
    t->selectAll();
    w->copySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(QLatin1Char('\n')), w->grid().rowCount());
}

// The chart's bars, top first, as (category, value per set) read back from its series.
struct Bars {
    QStringList categories;
    QList<QBarSet *> sets;
    double value(int set, int topIndex) const { return sets[set]->at(categories.size() - 1 - topIndex); }
};

Bars barsOf(QChart *chart)
{
    Bars b;
    auto *series = qobject_cast<QAbstractBarSeries *>(chart->series().value(0));
    if (!series)
        return b;
    b.sets = series->barSets();
    auto axes = chart->axes(Qt::Vertical);
    auto *axis = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.front());
    if (axis) {
        b.categories = axis->categories();
        std::reverse(b.categories.begin(), b.categories.end());
    }
    return b;
}

int rowOfLabel(const reports::ReportGrid &g, const QString &label)
{
    for (int r = 0; r < g.rowCount(); ++r)
        if (QString(g.text(0, r)).remove(QLatin1Char(' ')) == label)
            return r;
    return -1;
}

TEST_F(ReportView, ChartBarsAreTheGridCellsInValueOrder)
{
    auto w = open(T232);
    w->findChild<QPushButton *>(QStringLiteral("BitBtn3"))->click();
    ui::ReportChartPane *pane = w->chartPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    // parts of a whole: stacked by the warehouse kinds, named by their headings
    Bars bars = barsOf(pane->chart());
    ASSERT_TRUE(qobject_cast<QHorizontalStackedBarSeries *>(pane->chart()->series().value(0)));
    QStringList names;
    for (auto *s : bars.sets)
        names << s->label();
    EXPECT_EQ(names, (QStringList{"平房仓", "浅圆仓", "立筒仓", "楼房仓", "地下仓", "已完成维修仓容"}));
    ASSERT_EQ(bars.categories.size(), 32);
    double previous = 1e300;
    for (int i = 0; i < bars.categories.size(); ++i) {
        const int r = rowOfLabel(w->grid(), bars.categories[i]);
        ASSERT_GE(r, 0) << bars.categories[i].toStdString();
        double sum = 0;
        for (int s = 0; s < bars.sets.size(); ++s) {
            EXPECT_DOUBLE_EQ(bars.value(s, i), parseNumber(w->grid().text(2 + s, r)).value_or(-1));
            sum += bars.value(s, i);
        }
        EXPECT_LE(sum, previous);
        previous = sum;
    }
    // one column picked: one set of plain bars, its values the column's cells
    pane->picker()->setCurrentIndex(pane->picker()->findText(QStringLiteral("合计")));
    EXPECT_FALSE(pane->percent()->isEnabled());
    bars = barsOf(pane->chart());
    ASSERT_TRUE(qobject_cast<QHorizontalBarSeries *>(pane->chart()->series().value(0)));
    ASSERT_EQ(bars.sets.size(), 1);
    for (int i = 0; i < bars.categories.size(); ++i)
        EXPECT_DOUBLE_EQ(bars.value(0, i),
                         parseNumber(w->grid().text(1, rowOfLabel(w->grid(), bars.categories[i]))).value_or(-1));
    // every bar carries its cell's text
    pane->view()->grab(); // lays the chart out
    QStringList labels;
    for (QGraphicsItem *item : pane->chart()->scene()->items())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            labels << text->text();
    for (const QString &category : bars.categories)
        EXPECT_TRUE(labels.contains(w->grid().text(1, rowOfLabel(w->grid(), category)))) << category.toStdString();
    // back to the stack, as shares
    pane->picker()->setCurrentIndex(0);
    pane->percent()->setChecked(true);
    EXPECT_TRUE(qobject_cast<QHorizontalPercentBarSeries *>(pane->chart()->series().value(0)));
    // the grid still works beside it
    w->clickCell(8);
    EXPECT_EQ(w->grid().fill(0, 8), reports::kYellow);
    w->showChart(false);
    EXPECT_FALSE(pane->isVisible());
}

TEST_F(ReportView, ChartSavesAsPngAndSvg)
{
    auto w = open(T112);
    w->showChart(true);
    QApplication::processEvents();
    const QString png = store.file(QStringLiteral("图表.png"));
    const QString svg = store.file(QStringLiteral("图表.svg"));
    prompter.files = {png, svg, store.file(QStringLiteral("图表.jpg"))};
    w->saveChart();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].caption, QStringLiteral("图表另存为"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存成功！"));
    QFile p(png);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    const QByteArray pngBytes = p.readAll();
    EXPECT_GT(pngBytes.size(), 2000);
    EXPECT_TRUE(pngBytes.startsWith("\x89PNG"));
    w->saveChart();
    QFile s(svg);
    ASSERT_TRUE(s.open(QIODevice::ReadOnly));
    const QString svgText = QString::fromUtf8(s.readAll());
    EXPECT_TRUE(svgText.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(svgText.contains(QStringLiteral("粮油仓储企业数量汇总表"))); // text stays text
    w->saveChart();
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("PNG 或 SVG"))) << prompter.lastText().toStdString();
    EXPECT_FALSE(QFile::exists(store.file(QStringLiteral("图表.jpg"))));
}

} // namespace
