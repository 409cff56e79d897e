// kestrova-cli summary.
#include "cli/cli_run.h"
#include "summary/summary_fixture.h"

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {
class SummaryCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        addSampleRecords(*store.db);
        store.db.reset();
    }
    QStringList lines(const CliResult &r) { return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    TempStore store;
};
} // namespace

TEST_F(SummaryCli, PrintsCountThenSeventyTwoSums)
{
    const CliResult r = runCli(store.home(), {"summary", "--node", "地方企业/河南省/郑州市"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList out = lines(r);
    ASSERT_EQ(out.size(), 73);
    EXPECT_EQ(out[0], QStringLiteral("企业个数\t2"));
    EXPECT_EQ(out[1], QStringLiteral("a1\t30.5"));
    EXPECT_EQ(out[4], QStringLiteral("a4\t1"));
    EXPECT_EQ(out[72], QStringLiteral("a72\t"));
}

TEST_F(SummaryCli, NodesAndOwnership)
{
    EXPECT_EQ(lines(runCli(store.home(), {"summary"}))[0], QStringLiteral("企业个数\t7"));
    EXPECT_EQ(lines(runCli(store.home(), {"summary", "--node", "地方企业/新疆兵团"}))[1], QStringLiteral("a1\t5400"));
    EXPECT_EQ(lines(runCli(store.home(), {"summary", "--node", "中央单位/中粮集团有限责任公司/河南省"}))[1],
              QStringLiteral("a1\t60000"));
    EXPECT_EQ(lines(runCli(store.home(), {"summary", "--ownership", "非国有"}))[0], QStringLiteral("企业个数\t3"));
    const QStringList none = lines(runCli(store.home(), {"summary", "--node", "中央单位/中国中纺集团公司"}));
    EXPECT_EQ(none[0], QStringLiteral("企业个数\t0"));
    EXPECT_EQ(none[1], QStringLiteral("a1\t"));
}

TEST_F(SummaryCli, UnknownNodeOrOwnershipIsRefused)
{
    CliResult r = runCli(store.home(), {"summary", "--node", "地方企业/火星省"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("地方企业/火星省")));
    EXPECT_TRUE(r.out.isEmpty());
    r = runCli(store.home(), {"summary", "--ownership", "集体"});
    EXPECT_NE(r.exitCode, 0);
}
