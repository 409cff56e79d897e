// The report window offscreen: the shown grid equals the model, class state survives
// between openings, the export button and a failing build.
#include "report_test_support.h"

#include "app/ui/window_registry.h"
#include "data/task_record.h"
#include "reports/ui/report_table.h"
#include "reports/ui/report_window.h"
#include "reports/report_templates.h"
#include "reports/ui/report_windows.h"
#include "support/gui_app.h"
#include "support/scripted_prompter.h"
#include "xls/reader.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString T111 = QStringLiteral("表1-1-1 全国粮油仓储企业数量汇总表");
const QString T212 = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString T222 = QStringLiteral("表2-2-2 按规模划分全国符合储粮要求仓房容量汇总表（分地区）");

QApplication &app()
{
    return guiApp();
}

class ReportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        reports::resetWindowClassStates();
        static bool registered = false;
        if (!registered) {
            ui::registerReportWindows();
            registered = true;
        }
        const char *codes[] = {"130102", "130203", "110101", "650102", "440101"};
        const char *cities[] = {"石家庄市", "唐山市", "北京市", "兵团", "广州市"};
        for (int i = 0; i < 5; ++i)
            addRecord(*store.db, {{QStringLiteral("行政区划代码"), QString::fromUtf8(codes[i])},
                                  {QStringLiteral("地市"), QString::fromUtf8(cities[i])},
                                  {QStringLiteral("新疆兵团"), i == 3 ? QStringLiteral("是") : QStringLiteral("否")},
                                  {QStringLiteral("企业性质"), i % 2 ? QStringLiteral("民营") : QStringLiteral("国有")},
                                  {QStringLiteral("经营范围"), QStringLiteral("储备")},
                                  {QStringLiteral("仓容合计"), 23000.0 * (i + 1)},
                                  {QStringLiteral("低温仓"), 1000.0 * i},
                                  {QStringLiteral("储粮罩棚"), 2500.0 * i}});
    }

    std::unique_ptr<ui::ReportWindow> open(const QString &title, const QString &level)
    {
        context().reportTitle = title;
        context().level = level;
        context().province = level == QStringLiteral("国家级汇总") ? QString() : QStringLiteral("河北省");
        const auto *def = reports::definitionForTitle(title);
        QDialog *w = ui::createWindow(def->className, nullptr);
        return std::unique_ptr<ui::ReportWindow>(qobject_cast<ui::ReportWindow *>(w));
    }

    TempStore store;
    ScriptedPrompter prompter;
};

// Texts, colours and blocks as the model has them; heading rows at least as high as the
// model's rows (they grow to fit their text), data rows exactly; numbers right, labels
// left, title and headings centred; the rows that sum others bold.
void expectShownEqualsModel(const ui::ReportWindow &w, int headingRows)
{
    const auto &g = w.grid();
    QTableWidget *t = w.table();
    ASSERT_EQ(t->rowCount(), g.rowCount());
    ASSERT_EQ(t->columnCount(), g.columnCount());
    for (int r = 0; r < g.rowCount(); ++r) {
        if (r < headingRows)
            EXPECT_GE(t->rowHeight(r), g.rowHeight(r)) << r;
        else
            EXPECT_EQ(t->rowHeight(r), g.rowHeight(r)) << r;
        for (int c = 0; c < g.columnCount(); ++c) {
            const QTableWidgetItem *item = t->item(r, c);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text(), QString(g.text(c, r)).replace('\r', '\n')) << r << "," << c;
            EXPECT_EQ(item->background().color().rgb() & 0xFFFFFF, g.fill(c, r)) << r << "," << c;
            const int h = item->textAlignment() & Qt::AlignHorizontal_Mask;
            const int expected = r < headingRows ? Qt::AlignHCenter : c == 0 ? Qt::AlignLeft : Qt::AlignRight;
            EXPECT_EQ(h, expected) << r << "," << c;
            if (r >= headingRows) {
                EXPECT_EQ(item->font().bold(), g.rowKind(r) != reports::RowKind::Detail) << r << "," << c;
            }
        }
    }
    for (const auto &m : g.merges()) {
        EXPECT_EQ(t->rowSpan(m.row, m.col), m.rows);
        EXPECT_EQ(t->columnSpan(m.row, m.col), m.cols);
    }
}

TEST_F(ReportWindowTest, AllClassesRegistered)
{
    for (const auto &def : reports::reportCatalogue())
        EXPECT_TRUE(ui::hasWindowClass(def.className)) << def.className.toStdString();
}

TEST_F(ReportWindowTest, ShownGridEqualsModelNationalAndBreakdown)
{
    for (const auto &[title, level] : {std::pair{T212, QStringLiteral("国家级汇总")}, {T212, QStringLiteral("省级汇总")},
                                      {T111, QStringLiteral("国家级汇总")}}) {
        auto w = open(title, level);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->objectName(), reports::definitionForTitle(title)->className);
        expectShownEqualsModel(*w, reports::definitionForTitle(title)->headingRows);
        EXPECT_TRUE(prompter.errors.isEmpty());
    }
}

// The unit caption lies in the title row over the last column, before and after a
// click and wherever the grid is scrolled to.
void expectCaptionOverLastColumn(ui::ReportWindow &w)
{
    QLabel *unit = w.unitCaption();
    QTableWidget *t = w.table();
    const int last = t->columnCount() - 1;
    const QRect lastColumn(t->viewport()->mapTo(unit->parentWidget(), QPoint(t->columnViewportPosition(last), 0)),
                           QSize(t->columnWidth(last), t->rowHeight(0)));
    EXPECT_TRUE(lastColumn.contains(unit->geometry())) << unit->x() << "," << unit->y() << " in " << lastColumn.x()
                                                       << "," << lastColumn.y() << " " << lastColumn.width();
}

TEST_F(ReportWindowTest, ControlsCaptionAndUnitLabel)
{
    auto w = open(T212, QStringLiteral("国家级汇总"));
    EXPECT_EQ(w->findChild<QPushButton *>("BitBtn1")->text(), "保存表格");
    EXPECT_EQ(w->findChild<QPushButton *>("BitBtn2")->text(), "返  回");
    auto *unit = w->findChild<QLabel *>("Label5");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->text(), "单位：万吨");
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->setWindowState(Qt::WindowNoState);
    w->resize(700, 500); // narrower than the table: it scrolls sideways
    w->show();
    QApplication::processEvents();
    EXPECT_EQ(w->windowTitle(), T212);
    EXPECT_FALSE(unit->isVisible()); // its column is out of sight
    w->table()->horizontalScrollBar()->setValue(w->table()->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_TRUE(unit->isVisible());
    expectCaptionOverLastColumn(*w);
    w->clickCell(6);
    QApplication::processEvents();
    expectCaptionOverLastColumn(*w);
    w->close();

    context().city = QStringLiteral("唐山市");
    auto n = open(T111, QStringLiteral("省级汇总"));
    n->show();
    EXPECT_EQ(n->windowTitle(), "河北省唐山市粮油仓储企业数量汇总表");
    context().city.clear();
}

TEST_F(ReportWindowTest, HighlightedRowRememberedBetweenOpenings)
{
    auto w = open(T222, QStringLiteral("国家级汇总"));
    w->clickCell(6);
    EXPECT_EQ(w->grid().fill(0, 6), reports::kYellow);
    w->clickCell(8);
    EXPECT_EQ(w->grid().fill(3, 6), reports::kWhite);
    EXPECT_EQ(w->grid().fill(3, 8), reports::kYellow);
    expectShownEqualsModel(*w, 3);
    auto again = open(T222, QStringLiteral("国家级汇总"));
    EXPECT_EQ(again->grid().fill(2, 8), reports::kYellow);
    EXPECT_EQ(again->table()->item(8, 2)->background().color(), QColor(Qt::yellow));
    // heading rows are never painted
    again->clickCell(1);
    EXPECT_EQ(again->grid().fill(0, 1), reports::kWhite);
    EXPECT_EQ(again->grid().fill(0, 8), reports::kWhite);
}

TEST_F(ReportWindowTest, NationalTable111Thresholds)
{
    auto w = open(T111, QStringLiteral("国家级汇总"));
    w->clickCell(2); // a heading row: remembered, not painted
    EXPECT_EQ(w->grid().fill(0, 2), reports::kWhite);
    w->clickCell(3);
    EXPECT_EQ(w->grid().fill(0, 3), reports::kYellow);
    w->selectCell(5);
    EXPECT_EQ(w->grid().fill(0, 3), reports::kWhite);
    EXPECT_EQ(w->grid().fill(0, 5), reports::kYellow);
}

TEST_F(ReportWindowTest, BuildErrorShownAndWindowOpensWithHeadings)
{
    store.db->exec(QStringLiteral("ALTER TABLE TZ_XIANGMU RENAME COLUMN \"储粮罩棚\" TO \"罩棚X\""));
    auto w = open(T212, QStringLiteral("国家级汇总"));
    ASSERT_TRUE(w);
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(QStringLiteral("储粮罩棚"))) << prompter.errors[0].toStdString();
    EXPECT_EQ(w->table()->item(1, 1)->text(), "合计");
    expectShownEqualsModel(*w, 4);
}

TEST_F(ReportWindowTest, SaveTableWritesWorkbookAndSaysSo)
{
    QDir(store.home()).mkpath(QStringLiteral("templet"));
    reports::writeReportTemplates(store.file(QStringLiteral("templet")));
    TaskRecord task;
    task.year = QStringLiteral("2013");
    task.level = QStringLiteral("省级汇总");
    task.province = QStringLiteral("河北省");
    saveTask(*store.db, task);
    auto w = open(T212, QStringLiteral("省级汇总"));
    const QString out = store.file(QStringLiteral("saved.xls"));
    prompter.files.push_back(out);
    w->findChild<QPushButton *>("BitBtn1")->click();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, "xls");
    EXPECT_EQ(prompter.fileRequests[0].suggestedName, QStringLiteral("表2-1-2 河北省粮油仓储企业总仓容汇总表（分地区）(2013)"));
    ASSERT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(' ').toStdString();
    EXPECT_EQ(prompter.lastText(), "保存成功！");
    EXPECT_EQ(prompter.messages.back().caption, "提示");
    const auto cells = xls::readSheetCells(out.toStdString(), "Sheet1");
    EXPECT_EQ(cells.at(6).at(0), "合计");

    // cancelling does nothing
    prompter.files.push_back(std::nullopt);
    const size_t before = prompter.messages.size();
    w->saveTable();
    EXPECT_EQ(prompter.messages.size(), before);
}

TEST_F(ReportWindowTest, RenderForInspection)
{
    const QString dir = qEnvironmentVariable("KESTROVA_REPORT_PNG_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "set KESTROVA_REPORT_PNG_DIR to render";
    for (const auto &[title, level, file] :
         {std::tuple{T212, QStringLiteral("国家级汇总"), QStringLiteral("national.png")},
          {T222, QStringLiteral("省级汇总"), QStringLiteral("breakdown.png")},
          {T111, QStringLiteral("国家级汇总"), QStringLiteral("summary.png")}}) {
        auto w = open(title, level);
        w->resize(1100, 900);
        w->show();
        QApplication::processEvents();
        EXPECT_TRUE(w->grab().save(QDir(dir).filePath(file)));
    }
}

} // namespace

#include "app/system/report_menu.h"

namespace {

// Every title the menu hands to a window of this catalogue is served by that window,
// and every title a window serves is reachable from the menu.
TEST(ReportCatalogueAndMenu, TitlesAgree)
{
    int served = 0;
    for (const auto &entry : reportMenuEntries()) {
        const auto *byClass = reports::definitionForClass(entry.className);
        if (!byClass)
            continue;
        const auto *byTitle = reports::definitionForTitle(entry.title);
        ASSERT_NE(byTitle, nullptr) << entry.title.toStdString();
        EXPECT_EQ(byTitle->className, entry.className) << entry.title.toStdString();
        ++served;
    }
    int titles = 0;
    for (const auto &def : reports::reportCatalogue())
        for (const auto &t : def.titles) {
            ++titles;
            const auto *entry = reportEntryByTitle(t.title);
            ASSERT_NE(entry, nullptr) << t.title.toStdString();
            EXPECT_EQ(entry->className, def.className);
        }
    EXPECT_EQ(served, titles);
    EXPECT_GE(titles, 42);
}

} // namespace
