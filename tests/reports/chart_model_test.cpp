// The chart of a report table is made from the grid's own cells: bars of the detail
// rows only, in value order for breakdown tables, stacks named by the column headings.
#include "report_test_support.h"

#include "data/demo_records.h"
#include "data/number_format.h"
#include "reports/chart_model.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kestrova;
using namespace kestrova::test;
using reports::ChartChoice;
using reports::RowKind;

namespace {

const QString kNational = QStringLiteral("国家级汇总");
const QString T111 = QStringLiteral("表1-1-1 全国粮油仓储企业数量汇总表");
const QString T112 = QStringLiteral("表1-1-2 全国粮油仓储企业数量汇总表（分地区）");
const QString T211 = QStringLiteral("表2-1-1 全国粮油仓储企业总仓容汇总表");
const QString T212 = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString T232 = QStringLiteral("表2-3-2 按仓型划分全国符合储粮要求仓房容量汇总表（分地区）");
const QString T242 = QStringLiteral("表2-4-2 全国“危仓老库”汇总表（分地区）");
const QString T252 = QStringLiteral("表2-5-2 全国油罐罐容汇总表（分地区）");
const QString T342 = QStringLiteral("表3-4-2 全国粮油仓储企业附属设施汇总表（分地区）");
const QString T422 = QStringLiteral("表4-2-2 全国烘干设备汇总表（分地区）");

class ChartModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::resetWindowClassStates();
        addDemoRecords(*store.db, 400, 7);
    }
    reports::ReportGrid build(const QString &title, const QString &level = kNational, const QString &province = {})
    {
        return buildTitle(*store.db, title, level, province);
    }
    static const reports::ReportDefinition &def(const QString &title) { return *reports::definitionForTitle(title); }
    // The grid row whose label the chart shows as this category.
    static int rowOf(const reports::ReportGrid &g, const QString &category)
    {
        for (int r = 0; r < g.rowCount(); ++r)
            if (QString(g.text(0, r)).remove(QLatin1Char(' ')) == category)
                return r;
        return -1;
    }
    static double cell(const reports::ReportGrid &g, int c, int r) { return parseNumber(g.text(c, r)).value_or(-1); }
    TempStore store;
};

TEST_F(ChartModel, BarsAreTheGridCellsOfTheDetailRowsLargestFirst)
{
    for (const QString &title : {T212, T422, T342}) {
        SCOPED_TRACE(title.toStdString());
        const auto g = build(title);
        const auto choices = reports::chartChoices(def(title), g);
        ASSERT_FALSE(choices.isEmpty());
        const ChartChoice &first = choices.front();
        ASSERT_FALSE(first.stacked);
        EXPECT_EQ(first.columns, QList<int>{1}); // the first value column by default
        const auto m = reports::buildChart(def(title), g, first);
        ASSERT_EQ(m.series.size(), 1);
        // 31 provinces and the corps; zones and totals are not bars.
        ASSERT_EQ(m.categories.size(), 32);
        for (int i = 0; i < m.categories.size(); ++i) {
            const int r = rowOf(g, m.categories[i]);
            ASSERT_GE(r, 0) << m.categories[i].toStdString();
            EXPECT_EQ(g.rowKind(r), RowKind::Detail);
            EXPECT_DOUBLE_EQ(m.series[0].values[i], cell(g, 1, r)) << m.categories[i].toStdString();
            if (i > 0) {
                EXPECT_GE(m.series[0].values[i - 1], m.series[0].values[i]);
            }
        }
        for (const char *left : {"一、主产区", "二、主销区", "三、产销平衡区", "全国总计", "全国合计", "合计"})
            EXPECT_FALSE(m.categories.contains(QString::fromUtf8(left))) << left;
    }
}

TEST_F(ChartModel, StacksFollowTheColumnHeadingsAndSortByTheirSum)
{
    struct Case {
        QString title;
        QList<int> columns;
        QStringList names;
    };
    const QList<Case> cases{
        {T112, {2, 3, 4, 5}, {"2.5万吨以下", "2.5-5万吨", "5-10万吨", "10万吨以上"}},
        {T232, {2, 3, 4, 5, 6, 7}, {"平房仓", "浅圆仓", "立筒仓", "楼房仓", "地下仓", "已完成维修仓容"}},
        {T252, {2, 4, 6, 8}, {"＜1000吨", "1000-5000吨", "5000-10000吨", "≥10000吨"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        const auto g = build(c.title);
        const ChartChoice stack = reports::chartChoices(def(c.title), g).front();
        ASSERT_TRUE(stack.stacked);
        EXPECT_EQ(stack.columns, c.columns);
        const auto m = reports::buildChart(def(c.title), g, stack);
        EXPECT_TRUE(m.stacked);
        QStringList names;
        for (const auto &s : m.series)
            names << s.name;
        EXPECT_EQ(names, c.names);
        double previous = 1e300;
        for (int i = 0; i < m.categories.size(); ++i) {
            const int r = rowOf(g, m.categories[i]);
            double sum = 0;
            for (int k = 0; k < c.columns.size(); ++k) {
                EXPECT_DOUBLE_EQ(m.series[k].values[i], cell(g, c.columns[k], r));
                sum += m.series[k].values[i];
            }
            EXPECT_LE(sum, previous + 1e-9);
            previous = sum;
        }
    }
}

TEST_F(ChartModel, NationalSummaryKeepsTheCategoryOrderWithoutItsSubtotals)
{
    for (const QString &title : {T111, T211}) {
        const auto g = build(title);
        const auto m = reports::buildChart(def(title), g, reports::chartChoices(def(title), g).back());
        EXPECT_EQ(m.categories, (QStringList{"储备", "加工", "物流", "地方", "民营企业", "外资企业"}));
        const int d = def(title).firstDataRow();
        for (int r : {d, d + 4, d + 5, d + 7})
            EXPECT_EQ(g.rowKind(r), RowKind::Subtotal) << r;
    }
}

TEST_F(ChartModel, RowKindsMarkZonesTotalsAndTheClosingRow)
{
    auto g = build(T212);
    const int d = def(T212).firstDataRow();
    for (int r = d; r < g.rowCount(); ++r) {
        const bool zone = r == d || r == d + 14 || r == d + 22;
        EXPECT_EQ(g.rowKind(r), zone ? RowKind::Subtotal : RowKind::Detail) << r;
    }
    g = build(T342);
    EXPECT_EQ(g.rowKind(def(T342).firstDataRow()), RowKind::Total);
    EXPECT_EQ(g.rowKind(def(T342).firstDataRow() + 1), RowKind::Subtotal);
    g = build(T212, QStringLiteral("省级汇总"), QStringLiteral("河南省"));
    ASSERT_GT(g.rowCount(), d + 1);
    EXPECT_EQ(g.rowKind(d), RowKind::Total);
    const auto m = reports::buildChart(def(T212), g, reports::chartChoices(def(T212), g).front());
    EXPECT_EQ(m.categories.size(), g.rowCount() - d - 1);
    EXPECT_FALSE(m.categories.contains(QStringLiteral("合计")));
}

TEST_F(ChartModel, PickerNamesColumnsByTheirHeadingsAndUnitsFollowTheColumn)
{
    auto g = build(T212);
    auto choices = reports::chartChoices(def(T212), g);
    ASSERT_EQ(choices.size(), 7); // no stack: the columns are not parts of one whole
    EXPECT_EQ(choices[0].caption, QStringLiteral("合计"));
    EXPECT_EQ(choices[2].caption, QStringLiteral("总仓容／符合储粮要求仓房容量／其中：低温和准低温仓容"));
    EXPECT_EQ(reports::buildChart(def(T212), g, choices[2]).unit, QStringLiteral("单位：万吨"));

    g = build(T422);
    choices = reports::chartChoices(def(T422), g);
    EXPECT_EQ(choices[0].caption, QStringLiteral("设备数量（套）"));
    // no unit caption: the axis says what the heading says
    EXPECT_EQ(reports::buildChart(def(T422), g, choices[0]).unit, QStringLiteral("设备数量（套）"));

    g = build(T252);
    choices = reports::chartChoices(def(T252), g);
    ASSERT_EQ(choices.size(), 2 + 8);
    EXPECT_EQ(choices[0].caption, QStringLiteral("按罐容规格／罐容（堆积）"));
    EXPECT_EQ(choices[1].caption, QStringLiteral("按罐容规格／数量（堆积）"));
    EXPECT_EQ(reports::buildChart(def(T252), g, choices[1]).unit, QStringLiteral("单位：个"));
    EXPECT_EQ(reports::buildChart(def(T252), g, choices[0]).unit, QStringLiteral("单位：万吨"));

    // the column that is never computed is not offered
    g = build(T242);
    for (const auto &c : reports::chartChoices(def(T242), g))
        EXPECT_NE(c.caption, QStringLiteral("与上年度相比"));
}

TEST_F(ChartModel, PercentOnlyForAStack)
{
    const auto g = build(T112);
    const auto choices = reports::chartChoices(def(T112), g);
    const auto stacked = reports::buildChart(def(T112), g, choices.front(), true);
    EXPECT_TRUE(stacked.percent);
    EXPECT_EQ(stacked.unit, QStringLiteral("百分比（%）"));
    // raw values: the chart computes the shares, so the grid's cells stay the bars' values
    const int r = rowOf(g, stacked.categories.front());
    EXPECT_DOUBLE_EQ(stacked.series[0].values[0], cell(g, 2, r));
    const auto single = reports::buildChart(def(T112), g, choices[1], true);
    EXPECT_FALSE(single.percent);
    EXPECT_EQ(single.unit, QStringLiteral("单位：户"));
}

// A grid made by hand: what the chart does with labels and cells the engine rarely makes.
TEST(ChartModelCells, RepeatedLabelsAreToldApartAndTextIsZero)
{
    reports::ReportDefinition d = *reports::definitionForTitle(T212);
    reports::ReportGrid g(d.columns, d.headingRows + 4);
    const int r0 = d.headingRows;
    g.setText(0, r0, QStringLiteral("合计"));
    g.setRowKind(r0, RowKind::Total);
    g.setText(0, r0 + 1, QStringLiteral("朝阳区"));
    g.setText(1, r0 + 1, QStringLiteral("2"));
    g.setText(0, r0 + 2, QStringLiteral("朝阳区"));
    g.setText(1, r0 + 2, QStringLiteral("5"));
    g.setText(0, r0 + 3, QStringLiteral("  河  北"));
    g.setText(1, r0 + 3, QStringLiteral("不是数"));
    const auto m = reports::buildChart(d, g, ChartChoice{QStringLiteral("合计"), {1}, false});
    EXPECT_EQ(m.categories, (QStringList{"朝阳区", "朝阳区（2）", "河北"}));
    EXPECT_EQ(m.series[0].values, (QList<double>{5, 2, 0}));
}

} // namespace
