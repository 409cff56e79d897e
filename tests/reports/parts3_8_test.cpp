// The report tables of parts three to eight: scaling, the grand-total row, table 7's
// staff total, table 4-4's enterprise count, the four-heading-row 表3-4 windows,
// variants, and the menu's titles reaching their windows.
#include "report_test_support.h"

#include "app/system/report_menu.h"
#include "data/demo_records.h"
#include "reports/catalogue_parts3_8.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace kestrova;
using namespace kestrova::test;
using reports::ReportGrid;

namespace {

const QString kNational = QStringLiteral("国家级汇总");
const QString kProvince = QStringLiteral("省级汇总");
const QString kCity = QStringLiteral("地级汇总");

const QString T311 = QStringLiteral("表3-1-1 全国粮油仓储企业附属设施汇总表");
const QString T312 = QStringLiteral("表3-1-2 全国粮油仓储企业附属设施汇总表（分地区）");
const QString T314 = QStringLiteral("表3-1-4 全国粮油仓储企业附属设施汇总表（国有企业）");
const QString T315 = QStringLiteral("表3-1-5 全国粮油仓储企业附属设施汇总表（非国有企业）");
const QString T321 = QStringLiteral("表3-2-1 全国粮油仓储物流设施汇总表");
const QString T322 = QStringLiteral("表3-2-2 全国粮油仓储物流设施汇总表（分地区）");
const QString T331 = QStringLiteral("表3-3-1 全国散粮中转设施汇总表");
const QString T332 = QStringLiteral("表3-3-2 全国散粮中转设施汇总表（分地区）");
const QString T341 = QStringLiteral("表3-4-1 全国粮油仓储企业临时储粮设施汇总表");
const QString T342 = QStringLiteral("表3-4-2 全国粮油仓储企业附属设施汇总表（分地区）");
const QString T351 = QStringLiteral("表3-5-1 全国油脂中转设施汇总表");
const QString T352 = QStringLiteral("表3-5-2 全国油脂中转设施汇总表（分地区）");
const QString T441 = QStringLiteral("表4-4-1 全国检化验仪器汇总表");
const QString T442 = QStringLiteral("表4-4-2 全国检化验仪器汇总表（分地区）");
const QString T52 = QStringLiteral("表5-2 全国储粮技术应用情况汇总表（分地区）");
const QString T61 = QStringLiteral("表6-1 全国储粮药剂管理情况汇总表");
const QString T64 = QStringLiteral("表6-4 全国储粮药剂管理情况汇总表（国有企业）");
const QString T71 = QStringLiteral("表7-1 全国粮油仓储企业从业人员汇总表");
const QString T72 = QStringLiteral("表7-2 全国粮油仓储企业从业人员汇总表（分地区）");
const QString T81 = QStringLiteral("表8-1 全国粮油经营情况汇总表");
const QString T82 = QStringLiteral("表8-2 全国粮油经营情况汇总表（分地区）");

// Rows of a three-heading-row breakdown table at the national level, where the
// grand-total row comes first and the zones follow one row lower.
constexpr int kGrand = 3, kHebei = 5, kZone3 = 26, kCorps = 38;
// Category rows of a three-heading-row national table.
constexpr int kBusiness = 3, kReserve = 4, kLocal = 9, kPrivate = 11;

Fields rec(const char *code, const char *ownership = "国有", const char *business = "储备")
{
    return {{QStringLiteral("行政区划代码"), QString::fromUtf8(code)},
            {QStringLiteral("企业性质"), QString::fromUtf8(ownership)},
            {QStringLiteral("经营范围"), QString::fromUtf8(business)}};
}

Fields with(Fields f, const char *column, const QVariant &v)
{
    f.insert(QString::fromUtf8(column), v);
    return f;
}

Fields corps(Fields f)
{
    return with(std::move(f), "新疆兵团", QStringLiteral("是"));
}

double number(const ReportGrid &g, int col, int row)
{
    bool ok = false;
    const double v = g.text(col, row).toDouble(&ok);
    EXPECT_TRUE(ok) << "cell (" << col << "," << row << ") holds \"" << g.text(col, row).toStdString() << '"';
    return v;
}

class Parts3To8 : public ::testing::Test {
protected:
    void SetUp() override { reports::resetWindowClassStates(); }
    ReportGrid build(const QString &title, const QString &level = QStringLiteral("国家级汇总"),
                     const QString &province = {}, const QString &city = {})
    {
        return buildTitle(db(), title, level, province, city);
    }
    TempStore store;
    Database &db() { return *store.db; }
};

// --- The menu reaches every window ------------------------------------------------

TEST_F(Parts3To8, EveryMenuEntryOpensItsOwnCatalogueClass)
{
    QSet<QString> classes;
    for (const auto &e : reportMenuEntries()) {
        const reports::ReportDefinition *def = reports::definitionForTitle(e.title);
        ASSERT_NE(def, nullptr) << e.title.toStdString();
        EXPECT_EQ(def->className, e.className) << e.title.toStdString();
        classes << def->className;
    }
    EXPECT_EQ(reportMenuEntries().size(), 94u);
    EXPECT_EQ(classes.size(), 38);
    EXPECT_EQ(reports::reportCatalogue().size(), 38u);
}

TEST_F(Parts3To8, BreakdownWindowsServeOnlyTheRegionAndOwnershipVariants)
{
    const auto defs = reports::partsThreeAndFourDefinitions();
    EXPECT_EQ(defs.size(), 18u);
    EXPECT_EQ(reports::partsFiveToEightDefinitions().size(), 8u);
    EXPECT_EQ(reports::definitionForTitle(QStringLiteral("表3-1-6 全国粮油仓储企业附属设施汇总表（储备类型）")), nullptr);
    EXPECT_EQ(reports::definitionForTitle(QStringLiteral("表8-8 全国粮油经营情况汇总表（物流类型）")), nullptr);
    // 表3-4's breakdown titles name 附属设施, its national title 临时储粮设施.
    EXPECT_EQ(reports::definitionForTitle(QStringLiteral("表3-4-2 全国粮油仓储企业临时储粮设施汇总表（分地区）")), nullptr);
    ASSERT_NE(reports::definitionForTitle(T342), nullptr);
    EXPECT_EQ(reports::definitionForTitle(T342)->className, QStringLiteral("TFrmb3_4_2"));
}

// --- Scaling ----------------------------------------------------------------------

TEST_F(Parts3To8, Table3_1LandAsReadShedsInTenThousandSquareMetres)
{
    addRecord(db(), with(with(rec("130102"), "占地面积", 30), "罩棚合计", 25000));
    const ReportGrid n = build(T311);
    EXPECT_EQ(values(n, kReserve), QStringLiteral("30|0|2.5|0|0"));
    EXPECT_EQ(values(n, kBusiness), QStringLiteral("30|0|2.5|0|0"));
    const ReportGrid b = build(T312);
    EXPECT_EQ(b.text(0, kGrand), QStringLiteral("全国合计"));
    EXPECT_EQ(values(b, kHebei), QStringLiteral("30|0|2.5|0|0"));
    EXPECT_EQ(values(b, kGrand), QStringLiteral("30|0|2.5|0|0"));
}

TEST_F(Parts3To8, Table3_2SidingsInKilometresBerthsUnscaled)
{
    addRecord(db(), with(with(rec("130102"), "铁路专用线", 1000), "泊位数量", 3));
    addRecord(db(), with(with(with(rec("130103"), "铁路专用线", 500), "泊位数量", 1), "总吨位", 25000));
    const ReportGrid b = build(T322);
    EXPECT_EQ(b.text(0, kGrand), QStringLiteral("全国总计"));
    EXPECT_EQ(values(b, kHebei), QStringLiteral("1.5|0|4|2.5"));
    EXPECT_EQ(values(build(T321), kReserve), QStringLiteral("1.5|0|4|2.5"));
}

TEST_F(Parts3To8, Table5CorpsRowIsScaledLikeTheProvinces)
{
    addRecord(db(), with(rec("130102"), "环流熏蒸", 30000));
    addRecord(db(), with(rec("130103"), "环流熏蒸", 20000));
    addRecord(db(), corps(with(rec("650102"), "环流熏蒸", 10000)));
    const ReportGrid b = build(T52);
    EXPECT_EQ(values(b, kHebei), QStringLiteral("5|0|0"));
    EXPECT_EQ(values(b, kCorps), QStringLiteral("1|0|0"));
    EXPECT_EQ(values(b, kCorps - 1), QStringLiteral("0|0|0")) << "新疆 holds no corps record";
    EXPECT_EQ(values(b, kZone3), QStringLiteral("1|0|0"));
    EXPECT_EQ(values(b, kGrand), QStringLiteral("6|0|0"));
}

TEST_F(Parts3To8, Table6ChemicalsInKilogramsUnscaled)
{
    addRecord(db(), with(with(rec("130102"), "储粮药剂", 1250), "熏蒸剂", 250));
    EXPECT_EQ(values(build(T61), kReserve), QStringLiteral("1250|250"));
}

TEST_F(Parts3To8, Table8BusinessVolumeInTenThousandTonnes)
{
    addRecord(db(), with(rec("130102"), "经营量", 20000));
    addRecord(db(), with(with(rec("130103", "民营"), "经营量", 5000), "散进散出量", 5000));
    const ReportGrid n = build(T81);
    EXPECT_EQ(values(n, kBusiness), QStringLiteral("2.5|0.5"));
    EXPECT_EQ(values(n, kPrivate), QStringLiteral("0.5|0.5"));
    EXPECT_EQ(values(build(T82), kHebei), QStringLiteral("2.5|0.5"));
}

// --- Table 7: the total is the reported staff -------------------------------------

TEST_F(Parts3To8, Table7TotalIsReportedStaffNotTheSumOfTheTwoKinds)
{
    auto staff = [](const char *code, const char *city, int all, int keepers, int inspectors) {
        return with(with(with(with(rec(code), "地市", QString::fromUtf8(city)), "从业人员", all), "粮油保管员", keepers),
                    "质量检验员", inspectors);
    };
    addRecord(db(), staff("130102", "石家庄市", 40, 10, 5));
    addRecord(db(), staff("130201", "唐山市", 8, 2, 1));
    const ReportGrid n = build(T71);
    EXPECT_EQ(values(n, kReserve), QStringLiteral("48|12|6"));
    EXPECT_EQ(values(n, kLocal), QStringLiteral("48|12|6"));
    const ReportGrid b = build(T72);
    EXPECT_EQ(values(b, kHebei), QStringLiteral("48|12|6"));
    EXPECT_EQ(values(b, kGrand), QStringLiteral("48|12|6"));
    // Below the national level the closing total adds column 1 like the others.
    const ReportGrid p = build(T72, kProvince, QStringLiteral("河北省"));
    ASSERT_EQ(p.rowCount(), 6);
    EXPECT_EQ(p.text(0, 3), QStringLiteral("合计"));
    EXPECT_EQ(values(p, 3), QStringLiteral("48|12|6"));
}

// --- Table 4-4: every record of the group counts ----------------------------------

TEST_F(Parts3To8, Table4_4CountsEveryEnterpriseWhetherOrNotItReportsInstruments)
{
    addRecord(db(), with(rec("130102"), "检验设备", 3));
    addRecord(db(), with(rec("130103"), "检验设备", 2));
    for (int i = 0; i < 3; ++i)
        addRecord(db(), rec("130104"));
    const ReportGrid b = build(T442);
    EXPECT_EQ(values(b, kHebei), QStringLiteral("5|5"));
    EXPECT_EQ(values(b, kCorps), QStringLiteral("0|0"));
    EXPECT_EQ(values(b, kGrand), QStringLiteral("5|5"));
    EXPECT_EQ(values(build(T441), kReserve), QStringLiteral("5|5"));
}

TEST_F(Parts3To8, Table4_4CorpsRowCountsTheCorpsEvenWithoutInstruments)
{
    addRecord(db(), corps(rec("650102")));
    addRecord(db(), corps(rec("650103")));
    const ReportGrid none = build(T442);
    EXPECT_EQ(values(none, kCorps), QStringLiteral("2|0"));
    EXPECT_EQ(values(none, kGrand), QStringLiteral("2|0"));
    addRecord(db(), corps(with(rec("650104"), "检验设备", 4)));
    EXPECT_EQ(values(build(T442), kCorps), QStringLiteral("3|4"));
}

// The corps' row must not depend on the first indicator being filled in: corps
// records whose 经营量 is empty still show their other figures, in their zone and
// in the total too.
TEST_F(Parts3To8, CorpsRowKeepsFiguresWhenTheFirstIndicatorIsEmpty)
{
    addRecord(db(), corps(with(rec("650103"), "散进散出量", 10000)));
    const ReportGrid g = build(T82);
    EXPECT_EQ(values(g, kCorps), QStringLiteral("0|1"));
    EXPECT_EQ(values(g, kZone3), QStringLiteral("0|1"));
    EXPECT_EQ(values(g, kGrand), QStringLiteral("0|1"));
}

// --- Tables 3-3 and 3-5 over the same records -------------------------------------

TEST_F(Parts3To8, Table3_5EqualsTheWaySumsOfTable3_3WhenTotalsAreConsistent)
{
    const struct {
        const char *code;
        const char *ownership;
        double in[3];
        double out[3];
    } records[] = {{"130102", "国有", {1200, 300, 0}, {800, 150, 75}},
                   {"320102", "民营", {4000, 0, 2500}, {3000, 0, 1000}},
                   {"650102", "外资", {10, 20, 30}, {40, 50, 60}}};
    for (const auto &r : records) {
        Fields f = rec(r.code, r.ownership);
        const char *inWays[] = {"接收_公路", "接收_铁路", "接收_水路"};
        const char *outWays[] = {"发放_公路", "发放_铁路", "发放_水路"};
        for (int i = 0; i < 3; ++i) {
            f = with(f, inWays[i], r.in[i]);
            f = with(f, outWays[i], r.out[i]);
        }
        f = with(f, "接收能力", r.in[0] + r.in[1] + r.in[2]);
        f = with(f, "发放能力", r.out[0] + r.out[1] + r.out[2]);
        addRecord(db(), f);
    }
    for (const auto &[t33, t35] : {std::pair{T331, T351}, std::pair{T332, T352}}) {
        const ReportGrid g33 = build(t33);
        const ReportGrid g35 = build(t35);
        ASSERT_EQ(g33.rowCount(), g35.rowCount());
        for (int r = 3; r < g33.rowCount(); ++r) {
            EXPECT_NEAR(number(g35, 1, r), number(g33, 1, r) + number(g33, 2, r) + number(g33, 3, r), 1e-9) << r;
            EXPECT_NEAR(number(g35, 2, r), number(g33, 4, r) + number(g33, 5, r) + number(g33, 6, r), 1e-9) << r;
        }
        EXPECT_NEAR(number(g35, 1, 3), 0.806, 1e-9);
    }
}

// --- The grand-total row ----------------------------------------------------------

TEST_F(Parts3To8, GrandTotalRowHoldsTheThreeZonesInEveryBreakdownWindow)
{
    addDemoRecords(db(), 400, 7);
    std::vector<reports::ReportDefinition> defs = reports::partsThreeAndFourDefinitions();
    for (auto &d : reports::partsFiveToEightDefinitions())
        defs.push_back(d);
    int checked = 0;
    for (const auto &def : defs) {
        if (def.isNational())
            continue;
        ++checked;
        const ReportGrid g = build(def.titles.first().title);
        const int d = def.firstDataRow();
        SCOPED_TRACE(def.className.toStdString());
        ASSERT_EQ(g.rowCount(), d + 36);
        EXPECT_EQ(g.text(0, d), def.className == QLatin1String("TFrmb3_1_2") ? QStringLiteral("全国合计")
                                                                             : QStringLiteral("全国总计"));
        EXPECT_EQ(g.text(0, d + 1), QStringLiteral("一、主产区"));
        EXPECT_EQ(g.text(0, d + 35), QStringLiteral("  新疆兵团"));
        bool anyValue = false;
        for (int c = 1; c < def.columns; ++c) {
            const double zones = number(g, c, d + 1) + number(g, c, d + 15) + number(g, c, d + 23);
            EXPECT_NEAR(number(g, c, d), zones, 1e-6 * std::max(1.0, zones)) << "column " << c;
            anyValue = anyValue || number(g, c, d) != 0;
        }
        EXPECT_TRUE(anyValue);
    }
    EXPECT_EQ(checked, 13);
}

// --- 表3-4: four heading rows -----------------------------------------------------

TEST_F(Parts3To8, Table3_4DataStartsAtRowFour)
{
    addRecord(db(), with(with(with(with(rec("130102"), "地市", QStringLiteral("石家庄市")), "露天囤数量", 3), "露天囤存粮",
                              25000),
                         "临时储粮设施", 5000));
    addRecord(db(), with(with(with(rec("130201"), "地市", QStringLiteral("唐山市")), "露天垛数量改造", 2), "露天垛存粮改造",
                         10000));
    addRecord(db(), corps(with(rec("650102"), "露天垛数量", 1)));

    const ReportGrid n = build(T341);
    ASSERT_EQ(n.rowCount(), 14);
    EXPECT_EQ(n.text(0, 4), QStringLiteral("一、按经营类型"));
    EXPECT_EQ(n.text(0, 13), QStringLiteral("      外资企业"));
    EXPECT_EQ(values(n, 5), QStringLiteral("3|2.5|0|0|1|0|2|1|0.5"));
    EXPECT_EQ(n.rowHeight(3), 30);

    const ReportGrid b = build(T342);
    ASSERT_EQ(b.rowCount(), 40);
    EXPECT_EQ(b.text(0, 4), QStringLiteral("全国总计"));
    EXPECT_EQ(b.text(0, 5), QStringLiteral("一、主产区"));
    EXPECT_EQ(b.text(0, 39), QStringLiteral("  新疆兵团"));
    EXPECT_EQ(values(b, 39), QStringLiteral("0|0|0|0|1|0|0|0|0"));
    EXPECT_EQ(values(b, 4), QStringLiteral("3|2.5|0|0|1|0|2|1|0.5"));
    EXPECT_EQ(b.text(9, 1), QStringLiteral("\r\r其它临时\r储粮设施"));

    const ReportGrid p = build(T342, kProvince, QStringLiteral("河北省"));
    ASSERT_EQ(p.rowCount(), 7);
    EXPECT_EQ(p.text(0, 4), QStringLiteral("合计"));
    EXPECT_EQ(p.text(0, 5), QStringLiteral("石家庄市"));
    EXPECT_EQ(p.text(0, 6), QStringLiteral("唐山市"));
    EXPECT_EQ(values(p, 4), QStringLiteral("3|2.5|0|0|0|0|2|1|0.5"));
}

// --- Variants ---------------------------------------------------------------------

TEST_F(Parts3To8, RegionTitleAfterAVariantShowsUnfilteredFigures)
{
    addRecord(db(), with(rec("130102", "国有"), "占地面积", 10));
    addRecord(db(), with(rec("130103", "民营"), "占地面积", 20));
    addRecord(db(), corps(with(rec("650102", "外资"), "占地面积", 5)));

    const ReportGrid own = build(T314, kNational, QStringLiteral("河北省"));
    EXPECT_EQ(own.text(0, 0), QStringLiteral("河北省粮油仓储企业附属设施汇总表（国有企业）"));
    EXPECT_EQ(number(own, 1, kHebei), 10);
    EXPECT_EQ(number(own, 1, kCorps), 0);
    EXPECT_EQ(number(build(T315), 1, kCorps), 5);

    const ReportGrid all = build(T312, kNational, QStringLiteral("河北省"));
    EXPECT_EQ(all.text(0, 0), QStringLiteral("河北省粮油仓储企业附属设施汇总表（分地区）"));
    EXPECT_EQ(number(all, 1, kHebei), 30);
    EXPECT_EQ(number(all, 1, kGrand), 35);
}

TEST_F(Parts3To8, OwnershipVariantNarrowsTheSubNationalRowsToo)
{
    addRecord(db(), with(with(rec("130102", "国有"), "地市", QStringLiteral("石家庄市")), "储粮药剂", 100));
    addRecord(db(), with(with(rec("130502", "民营"), "地市", QStringLiteral("邢台市")), "储粮药剂", 7));
    const ReportGrid g = build(T64, kProvince, QStringLiteral("河北省"));
    ASSERT_EQ(g.rowCount(), 5);
    EXPECT_EQ(g.text(0, 4), QStringLiteral("石家庄市"));
    EXPECT_EQ(values(g, 3), QStringLiteral("100|0"));
    EXPECT_EQ(g.text(0, 0), QStringLiteral("河北省储粮药剂管理情况汇总表（国有企业）"));
}

// --- Levels below the nation ------------------------------------------------------

TEST_F(Parts3To8, CityLevelListsCountiesInCodeOrderBelowTheTotal)
{
    auto county = [](const char *code, const char *name, double volume) {
        return with(with(with(rec("130102"), "行政区划代码", QString::fromUtf8(code)), "县", QString::fromUtf8(name)),
                    "经营量", volume);
    };
    addRecord(db(), county("130105", "新华区", 10000));
    addRecord(db(), county("130102", "长安区", 5000));
    addRecord(db(), county("130105", "新华区", 15000));
    const ReportGrid g = build(T82, kCity, QStringLiteral("河北省"), QStringLiteral("石家庄市"));
    ASSERT_EQ(g.rowCount(), 6);
    EXPECT_EQ(g.text(0, 3), QStringLiteral("合计"));
    EXPECT_EQ(g.text(0, 4), QStringLiteral("长安区"));
    EXPECT_EQ(g.text(0, 5), QStringLiteral("新华区"));
    EXPECT_EQ(values(g, 4), QStringLiteral("0.5|0"));
    EXPECT_EQ(values(g, 5), QStringLiteral("2.5|0"));
    EXPECT_EQ(values(g, 3), QStringLiteral("3|0"));
}

// --- Title cell, caption and headings ---------------------------------------------

TEST_F(Parts3To8, NationalTitleCellAndCaptionNameThePlaceAndTable)
{
    const ReportGrid n = build(T321, kProvince, QStringLiteral("河北省"), QStringLiteral("石家庄市"));
    EXPECT_EQ(n.text(0, 0), QStringLiteral("河北省石家庄市粮油仓储物流设施汇总表"));
    EXPECT_EQ(reports::windowCaption(context(), *reports::definitionForTitle(T321)), n.text(0, 0));
    EXPECT_EQ(n.text(2, 2), QStringLiteral("其中:有效长度"));
    const ReportGrid b = build(T312);
    EXPECT_EQ(b.text(5, 1), QStringLiteral("\r地坪\r（万平方米）"));
    EXPECT_EQ(b.text(1, 2), QString());
}

} // namespace
