// Reading one enterprise's modification log back.
#include "records/record_log.h"

#include "data/database.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;

namespace {
void log(Database &db, const QString &org, const QString &name, const QString &column, const QString &time)
{
    db.exec(QStringLiteral("INSERT INTO 修改日志 VALUES (?1,?2,'','','','',?3,'旧','新',?4,'')"), {org, name, column, time});
}

QStringList columns(const std::vector<LogEntry> &entries)
{
    QStringList out;
    for (const LogEntry &e : entries)
        out << e.column;
    return out;
}
} // namespace

TEST(RecordLog, NewestFirstByTimeNotByText)
{
    test::TempStore store;
    Database &db = *store.db;
    // As text "2014-03-05 9:05:07" sorts after "2014-03-05 10:00:00"; as times it comes before.
    log(db, QStringLiteral("A1"), QStringLiteral("甲库"), QStringLiteral("库区数"), QStringLiteral("2014-03-05 9:05:07"));
    log(db, QStringLiteral("A1"), QStringLiteral("甲库"), QStringLiteral("占地面积"), QStringLiteral("2014-03-05 10:00:00"));
    log(db, QStringLiteral("A1"), QStringLiteral("甲库"), QStringLiteral("空地面积"), QStringLiteral("2014-03-05 10:00:00"));
    log(db, QStringLiteral("B2"), QStringLiteral("乙库"), QStringLiteral("地坪"), QStringLiteral("2014-03-06 8:00:00"));
    const auto entries = recordLog(db, QStringLiteral("甲库"), QStringLiteral("A1"));
    // Rows of the same second: the one written last first.
    EXPECT_EQ(columns(entries), (QStringList{QStringLiteral("空地面积"), QStringLiteral("占地面积"), QStringLiteral("库区数")}));
    EXPECT_EQ(entries.front().oldValue, QStringLiteral("旧"));
    EXPECT_EQ(entries.front().newValue, QStringLiteral("新"));
    EXPECT_EQ(entries.back().time, QStringLiteral("2014-03-05 9:05:07"));
}

TEST(RecordLog, RenamedEnterpriseKeepsItsHistoryByCodeButAnEmptyCodeMatchesNothing)
{
    test::TempStore store;
    Database &db = *store.db;
    log(db, QStringLiteral("A1"), QStringLiteral("甲库"), QStringLiteral("库区数"), QStringLiteral("2014-03-05 9:00:00"));
    log(db, QStringLiteral("A1"), QStringLiteral("甲粮库"), QStringLiteral("企业名称"), QStringLiteral("2014-03-06 9:00:00"));
    log(db, QString(), QStringLiteral("无码库"), QStringLiteral("地坪"), QStringLiteral("2014-03-06 9:00:00"));
    EXPECT_EQ(columns(recordLog(db, QStringLiteral("甲粮库"), QStringLiteral("A1"))),
              (QStringList{QStringLiteral("企业名称"), QStringLiteral("库区数")}));
    EXPECT_EQ(columns(recordLog(db, QStringLiteral("别的库"), QString())), QStringList{});
    EXPECT_EQ(columns(recordLog(db, QStringLiteral("无码库"), QStringLiteral("  "))), QStringList{QStringLiteral("地坪")});
}
