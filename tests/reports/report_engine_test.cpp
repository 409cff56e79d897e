// The engine over small hand-made record sets: layouts, schemes, levels and variants.
#include "report_test_support.h"

#include "reports/report_error.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;
using reports::ReportGrid;

namespace {

const QString kNational = QStringLiteral("国家级汇总");
const QString kProvince = QStringLiteral("省级汇总");
const QString kCity = QStringLiteral("地级汇总");

const QString T111 = QStringLiteral("表1-1-1 全国粮油仓储企业数量汇总表");
const QString T112 = QStringLiteral("表1-1-2 全国粮油仓储企业数量汇总表（分地区）");
const QString T114 = QStringLiteral("表1-1-4 全国粮油仓储企业数量汇总表（国有企业）");
const QString T115 = QStringLiteral("表1-1-5 全国粮油仓储企业数量汇总表（非国有企业）");
const QString T116 = QStringLiteral("表1-1-6 全国粮油仓储企业数量汇总表（储备类型）");
const QString T211 = QStringLiteral("表2-1-1 全国粮油仓储企业总仓容汇总表");
const QString T212 = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString T221 = QStringLiteral("表2-2-1 按规模划分全国符合储粮要求仓房容量汇总表");
const QString T222 = QStringLiteral("表2-2-2 按规模划分全国符合储粮要求仓房容量汇总表（分地区）");
const QString T232 = QStringLiteral("表2-3-2 按仓型划分全国符合储粮要求仓房容量汇总表（分地区）");
const QString T241 = QStringLiteral("表2-4-1 全国“危仓老库”汇总表");
const QString T242 = QStringLiteral("表2-4-2 全国“危仓老库”汇总表（分地区）");
const QString T251 = QStringLiteral("表2-5-1 全国油罐情况汇总表");
const QString T252 = QStringLiteral("表2-5-2 全国油罐罐容汇总表（分地区）");

Fields rec(const char *code, double capacity, const char *ownership = "国有", const char *business = "储备")
{
    return {{QStringLiteral("行政区划代码"), QString::fromUtf8(code)},
            {QStringLiteral("仓容合计"), capacity},
            {QStringLiteral("企业性质"), QString::fromUtf8(ownership)},
            {QStringLiteral("经营范围"), QString::fromUtf8(business)}};
}

Fields with(Fields f, const char *column, const QVariant &v)
{
    f.insert(QString::fromUtf8(column), v);
    return f;
}

class ReportEngine : public ::testing::Test {
protected:
    void SetUp() override { reports::resetWindowClassStates(); }
    TempStore store;
    Database &db() { return *store.db; }
};

// Region rows of a 3-heading-row breakdown table (D = 3).
constexpr int kHebei = 4, kZone1 = 3, kZone3 = 25, kXinjiang = 36, kCorpsRow = 37, kBeijing = 18;

TEST_F(ReportEngine, BandBoundariesFallIntoTheHigherBand)
{
    for (double cap : {24999.0, 25000.0, 49999.0, 50000.0, 99999.0, 100000.0})
        addRecord(db(), rec("130102", cap));
    addRecord(db(), with(rec("130102", 0), "仓容合计", QVariant())); // no capacity: column 1 only
    const ReportGrid g = buildTitle(db(), T112, kNational);
    EXPECT_EQ(g.rowCount(), 38);
    EXPECT_EQ(values(g, kHebei), "7|1|2|2|1");
    EXPECT_EQ(values(g, kZone1), "7|1|2|2|1");
    EXPECT_EQ(g.text(0, kHebei), "  河  北");
}

TEST_F(ReportEngine, CapacityBandsSumInTenThousandTonnes)
{
    addRecord(db(), rec("110101", 25000));
    addRecord(db(), rec("110101", 100000));
    addRecord(db(), rec("110101", 5000));
    const ReportGrid g = buildTitle(db(), T222, kNational);
    EXPECT_EQ(values(g, kBeijing), "13|0.5|2.5|0|10");
    // a province whose records all lie in one band
    EXPECT_EQ(values(g, kHebei), "0|0|0|0|0");
}

TEST_F(ReportEngine, CorpsRecordCountsOnlyInCorpsRowAndOnceInItsZone)
{
    addRecord(db(), with(rec("650102", 30000), "新疆兵团", QStringLiteral("是")));
    addRecord(db(), rec("650103", 1000));
    const ReportGrid g = buildTitle(db(), T112, kNational);
    EXPECT_EQ(g.text(0, kCorpsRow), "  新疆兵团");
    EXPECT_EQ(values(g, kCorpsRow), "1|0|1|0|0");
    EXPECT_EQ(values(g, kXinjiang), "1|1|0|0|0");
    EXPECT_EQ(values(g, kZone3), "2|1|1|0|0");
}

TEST_F(ReportEngine, UnknownProvinceCodesAreIgnored)
{
    addRecord(db(), rec("990101", 1000));
    addRecord(db(), rec("", 1000));
    addRecord(db(), rec("710101", 1000));
    addRecord(db(), with(rec("130101", 1000), "新疆兵团", QStringLiteral("")));
    const ReportGrid g = buildTitle(db(), T112, kNational);
    for (int r = 3; r < g.rowCount(); ++r)
        EXPECT_EQ(values(g, r), "0|0|0|0|0") << r;
}

TEST_F(ReportEngine, MeasureColumnsCorpsRowStaysZeroWithoutRecords)
{
    addRecord(db(), with(rec("130101", 20000), "储粮罩棚", 10000));
    const ReportGrid g = buildTitle(db(), T212, kNational);
    // four heading rows: 河北 is row 5, the corps row 38
    EXPECT_EQ(g.rowCount(), 39);
    EXPECT_EQ(values(g, 5), "5|2|0|0|0|0|3");
    EXPECT_EQ(values(g, 38), "0|0|0|0|0|0|0");
    EXPECT_EQ(values(g, 4), "5|2|0|0|0|0|3");
}

TEST_F(ReportEngine, Table21FormulasShedsTimesThreeAndColumnOneSum)
{
    Fields f = rec("110101", 30000);
    f.insert(QStringLiteral("低温仓"), 5000);
    f.insert(QStringLiteral("无法利用仓"), 1000);
    f.insert(QStringLiteral("需维修仓容"), 2000);
    f.insert(QStringLiteral("需重建仓容"), 3000);
    f.insert(QStringLiteral("简易仓容"), 4000);
    f.insert(QStringLiteral("储粮罩棚"), 10000);
    addRecord(db(), f);
    const ReportGrid g = buildTitle(db(), T211, kNational);
    // 储备 row: 3 + 0.5 + 0.4 + 3 = 6.9 in column 1
    EXPECT_EQ(values(g, 5), "6.9|3|0.5|0.1|0.5|0.4|3");
    EXPECT_EQ(values(g, 4), "6.9|3|0.5|0.1|0.5|0.4|3");
}

TEST_F(ReportEngine, Table24ComparisonColumnStaysZero)
{
    addRecord(db(), with(with(rec("130101", 1000), "需维修仓容", 20000), "需重建仓容", 5000));
    addRecord(db(), with(with(rec("130101", 1000, "民营", "加工"), "需维修仓容", 10000), "需重建仓容", 0));
    const ReportGrid n = buildTitle(db(), T241, kNational);
    EXPECT_EQ(values(n, 3), "3.5|3|0.5|0"); // 一、按经营类型
    EXPECT_EQ(values(n, 4), "2.5|2|0.5|0");
    EXPECT_EQ(values(n, 11), "1|1|0|0"); // 民营企业
    EXPECT_EQ(values(n, 7), "3.5|3|0.5|0"); // 二、按企业性质
    const ReportGrid b = buildTitle(db(), T242, kNational);
    EXPECT_EQ(values(b, kHebei), "3.5|3|0.5|0");
    EXPECT_EQ(values(b, kZone1), "3.5|3|0.5|0");
}

TEST_F(ReportEngine, Table25TankCountsUnscaledCapacitiesInTenThousands)
{
    Fields f = rec("130101", 1000);
    f.insert(QStringLiteral("油罐数量1"), 4);
    f.insert(QStringLiteral("油罐罐容1"), 2000);
    f.insert(QStringLiteral("油罐数量4"), 1);
    f.insert(QStringLiteral("油罐罐容4"), 15000);
    addRecord(db(), f);
    const ReportGrid g = buildTitle(db(), T252, kNational);
    EXPECT_EQ(values(g, 5), "4|0.2|0|0|0|0|1|1.5");
    const ReportGrid n = buildTitle(db(), T251, kNational);
    EXPECT_EQ(values(n, 5), "4|0.2|0|0|0|0|1|1.5");
}

TEST_F(ReportEngine, CategoryLayoutFormAAndFormB)
{
    addRecord(db(), rec("130101", 1000, "国有", "储备"));
    addRecord(db(), with(rec("130101", 30000, "国有", "加工"), "央企名称", QStringLiteral("中粮")));
    addRecord(db(), rec("130101", 60000, "民营", "物流"));
    addRecord(db(), rec("130101", 200000, "外资", "储备"));
    addRecord(db(), rec("130101", 200000, "集体", "其他")); // shown nowhere
    // a national summary table ignores the level
    const ReportGrid a = buildTitle(db(), T111, QStringLiteral("县级汇总"));
    ASSERT_EQ(a.rowCount(), 13);
    EXPECT_EQ(a.text(0, 0), "粮油仓储企业数量汇总表");
    EXPECT_EQ(a.text(0, 4), "          储备");
    EXPECT_EQ(values(a, 3), "4|1|1|1|1");
    EXPECT_EQ(values(a, 4), "2|1|0|0|1");
    EXPECT_EQ(values(a, 5), "1|0|1|0|0");
    EXPECT_EQ(values(a, 6), "1|0|0|1|0");
    EXPECT_EQ(values(a, 8), "2|1|1|0|0"); // form (a): the central enterprise's record counts
    EXPECT_EQ(values(a, 9), "2|1|1|0|0");
    EXPECT_EQ(values(a, 10), "2|0|0|1|1");
    EXPECT_EQ(values(a, 11), "1|0|0|1|0");
    EXPECT_EQ(values(a, 12), "1|0|0|0|1");
    EXPECT_EQ(values(a, 7), "4|1|1|1|1");

    const ReportGrid b = buildTitle(db(), T221, kNational);
    EXPECT_EQ(b.text(0, 9), "    地方");
    EXPECT_EQ(values(b, 9), "0.1|0.1|0|0|0"); // form (b): only the group without 央企名称
    EXPECT_EQ(values(b, 4), "20.1|0.1|0|0|20");
}

TEST_F(ReportEngine, NationalSummaryTitleCarriesThePlaces)
{
    const ReportGrid g = buildTitle(db(), T221, kProvince, QStringLiteral("河北省"), QStringLiteral("石家庄市"));
    EXPECT_EQ(g.text(0, 0), "河北省石家庄市按规模划分符合储粮要求仓房容量汇总表");
    for (int r = 3; r < 13; ++r)
        EXPECT_EQ(values(g, r), "0|0|0|0|0") << r;
}

TEST_F(ReportEngine, ProvinceLevelRowsByCityOrderedBySmallestCode)
{
    Fields b1 = rec("130205", 30000);
    b1.insert(QStringLiteral("地市"), QStringLiteral("唐山市"));
    Fields b2 = rec("130203", 10000);
    b2.insert(QStringLiteral("地市"), QStringLiteral("唐山市"));
    Fields a1 = rec("130104", 120000);
    a1.insert(QStringLiteral("地市"), QStringLiteral("石家庄市"));
    Fields a2 = with(rec("130105", 0), "仓容合计", QVariant());
    a2.insert(QStringLiteral("地市"), QStringLiteral("石家庄市"));
    for (const auto &f : {b1, b2, a1, a2})
        addRecord(db(), f);
    addRecord(db(), with(with(rec("650101", 1000), "新疆兵团", QStringLiteral("是")), "地市", QStringLiteral("兵团")));
    const ReportGrid g = buildTitle(db(), T112, kProvince, QStringLiteral("河北省"));
    ASSERT_EQ(g.rowCount(), 6);
    EXPECT_EQ(g.text(0, 0), "河北省粮油仓储企业数量汇总表（分地区）");
    EXPECT_EQ(rowTexts(g, 3).join('|'), "合计|4|1|1|0|1");
    EXPECT_EQ(rowTexts(g, 4).join('|'), "石家庄市|2|0|0|0|1"); // band counts need 仓容合计
    EXPECT_EQ(rowTexts(g, 5).join('|'), "唐山市|2|1|1|0|0");
}

TEST_F(ReportEngine, CityAndCentralLevelsGroupByCountyAndProvince)
{
    Fields a = rec("130102", 1000);
    a.insert(QStringLiteral("县"), QStringLiteral("长安区"));
    a.insert(QStringLiteral("省"), QStringLiteral("河北省"));
    a.insert(QStringLiteral("央企名称"), QStringLiteral("中粮"));
    Fields b = rec("130104", 2000);
    b.insert(QStringLiteral("县"), QStringLiteral("桥西区"));
    b.insert(QStringLiteral("省"), QStringLiteral("河北省"));
    Fields c = rec("110101", 3000);
    c.insert(QStringLiteral("县"), QStringLiteral("东城区"));
    c.insert(QStringLiteral("省"), QStringLiteral("北京市"));
    c.insert(QStringLiteral("央企名称"), QStringLiteral("中粮"));
    for (const auto &f : {a, b, c})
        addRecord(db(), f);
    const ReportGrid byCounty = buildTitle(db(), T222, kCity);
    ASSERT_EQ(byCounty.rowCount(), 7);
    EXPECT_EQ(rowTexts(byCounty, 4).join('|'), "东城区|0.3|0.3|0|0|0");
    EXPECT_EQ(rowTexts(byCounty, 6).join('|'), "桥西区|0.2|0.2|0|0|0");
    EXPECT_EQ(rowTexts(byCounty, 3).join('|'), "合计|0.6|0.6|0|0|0");
    const ReportGrid central = buildTitle(db(), T222, QStringLiteral("中粮"));
    ASSERT_EQ(central.rowCount(), 6); // only records with a central enterprise
    EXPECT_EQ(rowTexts(central, 4).join('|'), "北京市|0.3|0.3|0|0|0");
    EXPECT_EQ(rowTexts(central, 5).join('|'), "河北省|0.1|0.1|0|0|0");
    EXPECT_EQ(rowTexts(central, 3).join('|'), "合计|0.4|0.4|0|0|0");
}

TEST_F(ReportEngine, VariantNarrowsEveryQuery)
{
    addRecord(db(), with(rec("130101", 1000, "民营", "物流"), "地市", QStringLiteral("石家庄市")));
    addRecord(db(), with(rec("130101", 1000, "国有", "加工"), "地市", QStringLiteral("石家庄市")));
    addRecord(db(), with(with(rec("650101", 1000, "民营", "物流"), "新疆兵团", QStringLiteral("是")), "地市", QStringLiteral("兵团")));
    const ReportGrid state = buildTitle(db(), T114, kNational);
    EXPECT_EQ(state.text(0, 0), "粮油仓储企业数量汇总表（国有企业）");
    EXPECT_EQ(values(state, kHebei), "1|1|0|0|0");
    EXPECT_EQ(values(state, kCorpsRow), "0|0|0|0|0");
    const ReportGrid other = buildTitle(db(), T115, kNational);
    EXPECT_EQ(values(other, kHebei), "1|1|0|0|0");
    EXPECT_EQ(values(other, kCorpsRow), "1|1|0|0|0");
    // the region count is narrowed too: no 储备 record leaves no region at all
    const ReportGrid reserve = buildTitle(db(), T116, kProvince);
    EXPECT_EQ(reserve.rowCount(), 4);
    EXPECT_EQ(rowTexts(reserve, 3).join('|'), "|||||");
    // and a later -2 opening shows the unfiltered figures again
    const ReportGrid all = buildTitle(db(), T112, kProvince);
    EXPECT_EQ(rowTexts(all, 3).join('|'), "合计|2|2|0|0|0");
}

TEST_F(ReportEngine, UnknownTitleKeepsTheRememberedFilter)
{
    addRecord(db(), rec("130101", 1000, "民营"));
    buildTitle(db(), T114, kNational);
    const auto *def = reports::definitionForClass(QStringLiteral("TFrmb1_1_2"));
    context().reportTitle = QStringLiteral("别的标题");
    ReportGrid g;
    reports::buildReport(db(), context(), *def, reports::windowClassState(def->className), g);
    EXPECT_EQ(g.text(0, 0), "别的标题");
    EXPECT_EQ(values(g, kHebei), "0|0|0|0|0");
}

TEST_F(ReportEngine, EmptyTableAtEachLevel)
{
    const ReportGrid n = buildTitle(db(), T212, kNational);
    ASSERT_EQ(n.rowCount(), 39);
    for (int r = 4; r < 39; ++r)
        EXPECT_EQ(values(n, r), "0|0|0|0|0|0|0") << r;
    EXPECT_EQ(n.text(0, 4), "一、主产区"); // no 合计 row at the national level
    for (const QString &level : {kProvince, kCity, QStringLiteral("中储粮")}) {
        const ReportGrid s = buildTitle(db(), T212, level);
        ASSERT_EQ(s.rowCount(), 5) << level.toStdString();
        EXPECT_EQ(rowTexts(s, 4).join('|'), "|||||||");
        EXPECT_EQ(s.text(1, 1), "合计");
    }
    const ReportGrid s = buildTitle(db(), T111, kProvince);
    for (int r = 3; r < 13; ++r)
        EXPECT_EQ(values(s, r), "0|0|0|0|0");
}

TEST_F(ReportEngine, OtherLevelsShowHeadingsAndTheTotalLabelOnly)
{
    addRecord(db(), rec("130101", 1000));
    for (const QString &level : {QStringLiteral("县级汇总"), QStringLiteral("企业汇总")}) {
        const ReportGrid g = buildTitle(db(), T232, level);
        ASSERT_EQ(g.rowCount(), 4);
        EXPECT_EQ(rowTexts(g, 3).join('|'), "合计|||||||");
    }
}

TEST_F(ReportEngine, HeadingsTitleAndRowHeights)
{
    const ReportGrid g = buildTitle(db(), T212, kNational);
    EXPECT_EQ(g.text(0, 0), "粮油仓储企业总仓容汇总表（分地区）");
    EXPECT_EQ(g.fontSize(0, 0), 14);
    EXPECT_EQ(g.rowHeight(0), 70);
    EXPECT_EQ(g.rowHeight(3), 40);
    EXPECT_EQ(g.rowHeight(4), 30);
    EXPECT_EQ(g.text(0, 1), "地区");
    EXPECT_EQ(g.text(3, 3), "其中：低温和准低温仓容");
    const reports::Merge *m = g.mergeAt(0, 3);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->row, 1);
    EXPECT_EQ(m->rows, 3);
    const ReportGrid t = buildTitle(db(), T232, kNational);
    EXPECT_EQ(t.rowHeight(3), 40); // the first data row of table 2-3's region layout
}

TEST_F(ReportEngine, EmptySumsAreZeroNotErrors)
{
    // records whose capacities are all unset still form their groups
    addRecord(db(), with(rec("130101", 0), "仓容合计", QVariant()));
    const ReportGrid g = buildTitle(db(), T211, kNational);
    EXPECT_EQ(values(g, 4), "0|0|0|0|0|0|0");
    const ReportGrid p = buildTitle(db(), T222, kProvince);
    EXPECT_EQ(values(p, 3), "0|0|0|0|0");
}

TEST_F(ReportEngine, EveryColumnOfTheCatalogueExistsInTheRecords)
{
    addRecord(db(), rec("130101", 1000));
    for (const auto &def : reports::reportCatalogue()) {
        for (const auto &t : def.titles) {
            for (const QString &level : {kNational, kProvince}) {
                EXPECT_NO_THROW(buildTitle(db(), t.title, level)) << t.title.toStdString();
            }
        }
    }
}

} // namespace
