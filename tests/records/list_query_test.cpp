// The list's rows, filters and deletions.
#include "records/list_query.h"

#include "record_test_support.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;
using kestrova::test::insertRecord;

namespace {
class ListQuery : public ::testing::Test {
protected:
    test::TempStore store;
    Database &db = *store.db;

    qint64 add(const QString &name, const QString &province, const QString &ownership, const QString &business,
               double capacity, const QString &saved, const QString &affiliation = {})
    {
        return insertRecord(db, {{QStringLiteral("企业名称"), name},
                                 {QStringLiteral("省"), province},
                                 {QStringLiteral("企业性质"), ownership},
                                 {QStringLiteral("经营范围"), business},
                                 {QStringLiteral("仓容合计"), capacity},
                                 {QStringLiteral("隶属关系"), affiliation.isEmpty() ? name : affiliation},
                                 {QStringLiteral("修改时间"), saved},
                                 {QStringLiteral("校验状态"), QStringLiteral("1")}});
    }

    QStringList names(const ListFilter &f)
    {
        const ListCondition c = listCondition(f);
        EXPECT_TRUE(c.error.isEmpty());
        QStringList out;
        for (const ListRow &r : listRows(db, c.condition))
            out << r.name;
        return out;
    }

    void SetUp() override
    {
        add(QStringLiteral("北京粮库"), QStringLiteral("北京市"), QStringLiteral("国有"), QStringLiteral("储备"), 30000,
            QStringLiteral("2014-03-01 08:00:00"));
        add(QStringLiteral("河北100%粮_库"), QStringLiteral("河北省"), QStringLiteral("民营"), QStringLiteral("加工"),
            25000, QStringLiteral("2014-03-03 08:00:00"), QStringLiteral("中储粮河北分公司"));
        add(QStringLiteral("河北1000粮x库"), QStringLiteral("河北省"), QStringLiteral("外资"), QStringLiteral("物流"),
            24999, QStringLiteral("2014-03-02 08:00:00"));
    }
};
} // namespace

TEST_F(ListQuery, AllRecordsNewestSaveFirst)
{
    EXPECT_EQ(names({}), (QStringList{QStringLiteral("河北100%粮_库"), QStringLiteral("河北1000粮x库"),
                                      QStringLiteral("北京粮库")}));
    const auto rows = listRows(db);
    EXPECT_EQ(rows[0].province, QStringLiteral("河北省"));
    EXPECT_EQ(rows[0].ownership, QStringLiteral("民营"));
    EXPECT_EQ(rows[0].business, QStringLiteral("加工"));
    EXPECT_TRUE(rows[0].validated);
}

TEST_F(ListQuery, TextFiltersMatchPartsOfValuesTrimmed)
{
    ListFilter f;
    f.name = QStringLiteral(" 粮 ");
    EXPECT_EQ(names(f).size(), 3);
    f = {};
    f.province = QStringLiteral("河北");
    EXPECT_EQ(names(f).size(), 2);
    f = {};
    f.ownership = QStringLiteral("国有");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("北京粮库")});
    f = {};
    f.business = QStringLiteral("物流");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("河北1000粮x库")});
    f = {};
    f.affiliation = QStringLiteral("分公司");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("河北100%粮_库")});
    f.province = QStringLiteral("北京");
    EXPECT_TRUE(names(f).isEmpty()); // filters combine with and
}

TEST_F(ListQuery, PercentAndUnderscoreMatchLiterally)
{
    ListFilter f;
    f.name = QStringLiteral("100%");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("河北100%粮_库")});
    f.name = QStringLiteral("粮_库");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("河北100%粮_库")});
    f.name = QStringLiteral("\"");
    EXPECT_TRUE(names(f).isEmpty());
}

TEST_F(ListQuery, CapacityBoundsAreInclusiveNumbers)
{
    ListFilter f;
    f.capacityFrom = QStringLiteral("25000");
    EXPECT_EQ(names(f), (QStringList{QStringLiteral("河北100%粮_库"), QStringLiteral("北京粮库")}));
    f.capacityTo = QStringLiteral("25000");
    EXPECT_EQ(names(f), QStringList{QStringLiteral("河北100%粮_库")});
    f = {};
    f.capacityTo = QStringLiteral("9999"); // compared as numbers, not as text
    EXPECT_TRUE(names(f).isEmpty());
    f.capacityTo = QStringLiteral("12a");
    EXPECT_FALSE(listCondition(f).error.isEmpty());
    // A decimal bound is a decimal bound; a range from more to less is refused, not run empty.
    f = {};
    f.capacityFrom = QStringLiteral("24999.5");
    EXPECT_EQ(names(f), (QStringList{QStringLiteral("河北100%粮_库"), QStringLiteral("北京粮库")}));
    f.capacityTo = QStringLiteral("100");
    EXPECT_EQ(listCondition(f).error, QStringLiteral("仓容合计的起点24999.5大于终点100，请重新填写！"));
    f.capacityTo = QStringLiteral("24999.5");
    EXPECT_TRUE(listCondition(f).error.isEmpty());
}

TEST_F(ListQuery, ProvincesOfTheRecords)
{
    add(QString(), QStringLiteral("上海市"), QString(), QString(), 0, QString());
    add(QString(), QString(), QString(), QString(), 0, QString());
    EXPECT_EQ(recordProvinces(db), (QStringList{QString(), QStringLiteral("上海市"), QStringLiteral("北京市"),
                                                QStringLiteral("河北省")}));
    EXPECT_EQ(provincesOf(listRows(db)), recordProvinces(db));
}

TEST_F(ListQuery, DeletingByNameRemovesEveryRecordOfThatName)
{
    add(QStringLiteral("北京粮库"), QStringLiteral("北京市"), QStringLiteral("国有"), QStringLiteral("储备"), 1,
        QStringLiteral("2014-03-09 08:00:00"));
    EXPECT_EQ(deleteRecordsNamed(db, QStringLiteral("北京粮库")), 2);
    EXPECT_EQ(listRows(db).size(), 2u);
}

TEST_F(ListQuery, NamelessRecordsAreListedAndDeletedTogether)
{
    add(QString(), QStringLiteral("北京市"), QStringLiteral("国有"), QStringLiteral("储备"), 1,
        QStringLiteral("2014-03-09 08:00:00"));
    EXPECT_EQ(listRows(db).front().name, QString());
    EXPECT_EQ(deleteNamelessRecords(db), 1);
    EXPECT_EQ(listRows(db).size(), 3u);
}
