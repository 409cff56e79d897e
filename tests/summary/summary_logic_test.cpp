// The annual summary without the window: tree counts, selection, condition and sums.
#include "data/regions.h"
#include "reports/summary/summary_condition.h"
#include "reports/summary/summary_figures.h"
#include "reports/summary/summary_header.h"
#include "reports/summary/summary_tree.h"
#include "summary/summary_fixture.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

class Summary : public ::testing::Test {
protected:
    void SetUp() override { addSampleRecords(*store.db); }

    SummaryFigures figures(const QString &path, Ownership o = Ownership::All)
    {
        const auto node = findNode(*store.db, path);
        EXPECT_TRUE(node) << path.toStdString();
        return summaryFigures(*store.db, summaryCondition(node ? node->selection() : SummarySelection{}, o));
    }
    qint64 count(const QString &path)
    {
        const auto node = findNode(*store.db, path);
        EXPECT_TRUE(node) << path.toStdString();
        return node ? node->count : -1;
    }
    TempStore store;
};

QString area(const SummaryFigures &f)
{
    return f.sums[0];
}

} // namespace

TEST_F(Summary, OpeningTreeHasTheCategoriesProvincesAndEnterprisesInOrder)
{
    const SummaryTreeItem root = openingTree(*store.db);
    EXPECT_EQ(root.node.text(), QStringLiteral("国家(7)"));
    ASSERT_EQ(root.children.size(), 2u);
    const auto &local = root.children[0];
    const auto &central = root.children[1];
    EXPECT_EQ(local.node.text(), QStringLiteral("地方企业(5)"));
    EXPECT_EQ(central.node.text(), QStringLiteral("中央单位(2)"));
    ASSERT_EQ(local.children.size(), size_t(provinceNames(*store.db).size()) + 1); // provinces, then the corps
    EXPECT_EQ(local.children.front().node.text(), QStringLiteral("北京市(0)"));
    EXPECT_EQ(local.children.back().node.text(), QStringLiteral("新疆兵团(2)"));
    ASSERT_EQ(central.children.size(), 3u);
    EXPECT_EQ(central.children[0].node.text(), QStringLiteral("中国储备粮管理总公司(0)"));
    EXPECT_EQ(central.children[1].node.text(), QStringLiteral("中粮集团有限责任公司(2)"));
    EXPECT_EQ(central.children[2].node.text(), QStringLiteral("中国中纺集团公司(0)"));
}

TEST_F(Summary, CorpsRecordsCountUnderLocalAndCorpsButNoProvince)
{
    EXPECT_EQ(count(QStringLiteral("地方企业")), 5);
    EXPECT_EQ(count(QStringLiteral("地方企业/河南省")), 3);
    EXPECT_EQ(count(QStringLiteral("地方企业/新疆维吾尔自治区")), 0);
    EXPECT_EQ(count(QStringLiteral("地方企业/新疆兵团")), 2);
    EXPECT_EQ(count(QStringLiteral("地方企业/河南省/郑州市")), 2);
    EXPECT_EQ(count(QStringLiteral("地方企业/河南省/开封市")), 1);
    // The county count has no corps condition: D is counted in 金水区.
    EXPECT_EQ(count(QStringLiteral("地方企业/河南省/郑州市/金水区")), 2);
    EXPECT_EQ(count(QStringLiteral("地方企业/河南省/郑州市/中原区")), 1);
    EXPECT_EQ(count(QStringLiteral("中央单位/中粮集团有限责任公司/河南省")), 1);
    EXPECT_EQ(count(QStringLiteral("中央单位/中粮集团有限责任公司/北京市")), 1);
}

TEST_F(Summary, LowerLevelsGrowOnlyUnderProvincesCitiesAndEnterprises)
{
    const auto corps = findNode(*store.db, QStringLiteral("地方企业/新疆兵团"));
    ASSERT_TRUE(corps);
    EXPECT_FALSE(corps->growsChildren());
    EXPECT_TRUE(childNodes(*store.db, *corps).empty());
    const auto county = findNode(*store.db, QStringLiteral("地方企业/河南省/郑州市/金水区"));
    ASSERT_TRUE(county);
    EXPECT_TRUE(childNodes(*store.db, *county).empty());
    const auto enterpriseProvince = findNode(*store.db, QStringLiteral("中央单位/中粮集团有限责任公司/河南省"));
    ASSERT_TRUE(enterpriseProvince);
    EXPECT_FALSE(enterpriseProvince->growsChildren());
    const auto henan = findNode(*store.db, QStringLiteral("地方企业/河南省"));
    const auto cities = childNodes(*store.db, *henan);
    ASSERT_FALSE(cities.empty());
    EXPECT_EQ(cities.front().text(), QStringLiteral("郑州市(2)"));
    EXPECT_EQ(cities.front().path, (QStringList{"地方企业", "河南省", "郑州市"}));
}

TEST_F(Summary, UnknownPathsAreNotFound)
{
    for (const char *p : {"国家/国家", "地方企业/火星", "中央单位/河南省", "地方企业/新疆兵团/乌鲁木齐市", "地方企业/河南省/郑州市/金水区/x"})
        EXPECT_FALSE(findNode(*store.db, QString::fromUtf8(p))) << p;
    EXPECT_EQ(findNode(*store.db, QString())->kind, NodeKind::Country);
    EXPECT_EQ(findNode(*store.db, QStringLiteral("国家"))->kind, NodeKind::Country);
    EXPECT_EQ(findNode(*store.db, QStringLiteral("国家/地方企业/河南省"))->count, 3);
}

TEST_F(Summary, LocalSumExcludesCorpsWhileCorpsSumsExactlyThem)
{
    const auto local = figures(QStringLiteral("地方企业"));
    EXPECT_EQ(local.count, QStringLiteral("3"));
    EXPECT_EQ(area(local), QStringLiteral("60.5"));
    EXPECT_EQ(local.sums[3], QStringLiteral("1")); // 从业人员 of A alone
    const auto corps = figures(QStringLiteral("地方企业/新疆兵团"));
    EXPECT_EQ(corps.count, QStringLiteral("2"));
    EXPECT_EQ(area(corps), QStringLiteral("5400"));
}

TEST_F(Summary, RegionSumsFollowTheSelection)
{
    EXPECT_EQ(area(figures(QString())), QStringLiteral("765460.5"));
    EXPECT_EQ(figures(QString()).count, QStringLiteral("7"));
    EXPECT_EQ(area(figures(QStringLiteral("地方企业/河南省"))), QStringLiteral("60.5"));
    EXPECT_EQ(area(figures(QStringLiteral("地方企业/河南省/郑州市"))), QStringLiteral("30.5"));
    // The county's 统计 keeps the corps condition, unlike its count.
    const auto county = figures(QStringLiteral("地方企业/河南省/郑州市/金水区"));
    EXPECT_EQ(county.count, QStringLiteral("1"));
    EXPECT_EQ(area(county), QStringLiteral("10"));
    EXPECT_EQ(area(figures(QStringLiteral("中央单位"))), QStringLiteral("760000"));
    EXPECT_EQ(area(figures(QStringLiteral("中央单位/中粮集团有限责任公司"))), QStringLiteral("760000"));
}

TEST_F(Summary, ProvinceUnderAnEnterpriseRestrictsTheSumsToItsCount)
{
    const auto f = figures(QStringLiteral("中央单位/中粮集团有限责任公司/河南省"));
    EXPECT_EQ(f.count, QStringLiteral("1"));
    EXPECT_EQ(area(f), QStringLiteral("60000"));
}

TEST_F(Summary, EveryNodeCountAgreesWithItsSumsSaveLocalAndCorpsInCounties)
{
    std::vector<SummaryNode> nodes;
    const SummaryTreeItem root = openingTree(*store.db);
    nodes.push_back(root.node);
    for (const auto &c : root.children) {
        nodes.push_back(c.node);
        for (const auto &cc : c.children) {
            nodes.push_back(cc.node);
            for (const auto &n : childNodes(*store.db, cc.node)) {
                nodes.push_back(n);
                for (const auto &m : childNodes(*store.db, n))
                    nodes.push_back(m);
            }
        }
    }
    for (const SummaryNode &n : nodes) {
        if (n.kind == NodeKind::Local || n.path == QStringList{"地方企业", "河南省", "郑州市", "金水区"})
            continue;
        const auto f = summaryFigures(*store.db, summaryCondition(n.selection(), Ownership::All));
        EXPECT_EQ(f.count, QString::number(n.count)) << n.path.join('/').toStdString();
    }
}

TEST_F(Summary, OwnershipFiltersWithAndWithoutASelection)
{
    const auto state = figures(QString(), Ownership::State);
    EXPECT_EQ(state.count, QStringLiteral("4"));
    EXPECT_EQ(area(state), QStringLiteral("65410"));
    const auto nonState = figures(QString(), Ownership::NonState);
    EXPECT_EQ(nonState.count, QStringLiteral("3"));
    EXPECT_EQ(area(nonState), QStringLiteral("700050.5"));
    EXPECT_EQ(area(figures(QStringLiteral("地方企业/河南省"), Ownership::NonState)), QStringLiteral("50.5"));
    EXPECT_EQ(area(figures(QStringLiteral("中央单位/中粮集团有限责任公司"), Ownership::State)), QStringLiteral("60000"));
}

TEST_F(Summary, NoMatchingRecordGivesEmptySumsAndZero)
{
    const auto f = figures(QStringLiteral("中央单位/中国储备粮管理总公司"));
    EXPECT_EQ(f.count, QStringLiteral("0"));
    for (const QString &s : f.sums)
        EXPECT_TRUE(s.isEmpty());
}

TEST_F(Summary, NameWithQuotesMatchesOnlyItself)
{
    const QString hostile = QStringLiteral("河南省\" or \"1\"=\"1");
    SummarySelection s = selectionForPath({QStringLiteral("地方企业"), hostile});
    EXPECT_EQ(summaryFigures(*store.db, summaryCondition(s, Ownership::State)).count, QStringLiteral("0"));
    addRecord(*store.db, "H", {hostile, {}, {}, {}}, {{QStringLiteral("占地面积"), 8}});
    const SummaryFigures f = summaryFigures(*store.db, summaryCondition(s, Ownership::State));
    EXPECT_EQ(f.count, QStringLiteral("1"));
    EXPECT_EQ(f.sums[0], QStringLiteral("8"));
}

// Province, city, county and enterprise clicks are driven through the window's tests.
TEST(SummarySelectionRules, CorpsAndEnterpriseProvincePaths)
{
    const SummarySelection corps = selectionForPath({"地方企业", "新疆兵团"});
    EXPECT_EQ(corps.corps, QStringLiteral("新疆兵团"));
    EXPECT_TRUE(corps.province.isEmpty());
    EXPECT_EQ(summaryUnit(corps), QStringLiteral("Tarnhold"));
    const SummarySelection enterpriseProvince = selectionForPath({"中央单位", "中粮集团有限责任公司", "河南省"});
    EXPECT_EQ(enterpriseProvince.enterprise, QStringLiteral("中粮集团有限责任公司"));
    EXPECT_EQ(summaryUnit(enterpriseProvince), QStringLiteral("河南省"));
    EXPECT_EQ(selectionForPath({}), SummarySelection{});
    EXPECT_EQ(nodeNameFromText(QStringLiteral("郑州市(12)")), QStringLiteral("郑州市"));
}

TEST(SummaryHeaderValues, DateWithoutLeadingZerosAndTextsFromTheStore)
{
    EXPECT_EQ(tabulationDate(QDate(2014, 3, 5)), QStringLiteral("2014年3月5日"));
    EXPECT_EQ(tabulationDate(QDate(2014, 12, 25)), QStringLiteral("2014年12月25日"));
    TempStore store;
    EXPECT_EQ(tabulatingUnit(*store.db), QString());
    EXPECT_EQ(summaryYear(*store.db), QString());
    store.db->exec(QStringLiteral("insert into userinfo (f2, passwd) values (?, ?)"), {QStringLiteral("河南省粮食局"), "1"});
    store.db->exec(QStringLiteral("insert into 任务信息 (年份, 汇总级别) values (?, ?)"), {"2013", QStringLiteral("省级汇总")});
    EXPECT_EQ(tabulatingUnit(*store.db), QStringLiteral("河南省粮食局"));
    EXPECT_EQ(summaryYear(*store.db), QStringLiteral("2013"));
}
