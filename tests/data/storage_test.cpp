#include "data/database.h"
#include "data/datetime_text.h"
#include "data/indicators.h"
#include "data/schema.h"
#include "support/temp_store.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kestrova;

TEST(Schema, RecordColumnsFollowTheIndicatorCatalogue)
{
    test::TempStore s;
    const QStringList cols = s.db->columns(QStringLiteral("tz_xiangmu"));
    ASSERT_EQ(cols.size(), 95);
    EXPECT_EQ(cols[0], "ID");
    EXPECT_EQ(cols[1], "企业名称");
    EXPECT_EQ(cols[16], "年度");
    for (const auto &ind : kIndicators)
        EXPECT_EQ(cols[ind.k + 16].toStdString(), std::string(ind.column)) << "indicator " << ind.k;
    EXPECT_EQ(cols.mid(89), (QStringList{"备注", "单位负责人", "填表人", "填报日期", "修改时间", "校验状态"}));
    EXPECT_EQ(s.db->columns(QStringLiteral("修改日志")).size(), 11);
    EXPECT_EQ(s.db->columns(QStringLiteral("任务信息")).size(), 17);
}

TEST(Schema, ReferenceDataIsComplete)
{
    test::TempStore s;
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM province"), "31");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM city"), "342");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM county"), "2978");
    EXPECT_EQ(s.db->scalar("SELECT group_concat(汇总级别, ',') FROM (SELECT 汇总级别 FROM 汇总级别 ORDER BY 序号)"),
              "国家级汇总,省级汇总,地级汇总,县级汇总,中储粮,中粮,中纺");
    EXPECT_EQ(s.db->scalar("SELECT min(年度) FROM 年度"), "2010");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM 查询指标 WHERE 类型='0'"), "72");
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM 查询指标 WHERE 类型='1'"), "16");
    for (const char *company : {"中国储备粮管理总公司", "中粮集团有限责任公司", "中国中纺集团公司"})
        EXPECT_NE(s.db->scalar("SELECT count(*) FROM 分公司 WHERE 公司=?1", {QString::fromUtf8(company)}), "0");
}

TEST(Storage, HostileTextRoundTripsThroughBoundValues)
{
    test::TempStore s;
    const QString nasty = QStringLiteral("a\"b'c%d\\e_f;DROP TABLE x;--") + QString(1000, QChar(0x7cae));
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称, 备注, 占地面积) VALUES (?1, ?2, ?3)", {nasty, nasty, 12.5});
    Statement st = s.db->prepare("SELECT * FROM TZ_XIANGMU WHERE 企业名称=:d");
    st.bind(":d", nasty);
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text("企业名称"), nasty);
    EXPECT_EQ(st.text("备注"), nasty);
    EXPECT_EQ(st.text("占地面积"), "12.5");
    EXPECT_EQ(st.text("id"), "1") << "names match whatever their letter case";
    EXPECT_EQ(st.text("空地面积"), "") << "an absent value reads as empty text";
    EXPECT_EQ(st.text("没有这一列"), "");
    EXPECT_EQ(st.text("企业地址"), "") << "text columns default to the empty string";
    EXPECT_FALSE(st.next());
}

TEST(Storage, NonNumbersAreRefusedByIndicatorColumns)
{
    test::TempStore s;
    EXPECT_THROW(s.db->exec("INSERT INTO TZ_XIANGMU(企业名称, 占地面积) VALUES ('x', 'abc')", {}), DbError);
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称, 占地面积) VALUES ('x', '17')", {});
    EXPECT_EQ(s.db->scalar("SELECT 占地面积 FROM TZ_XIANGMU"), "17");
}

TEST(Storage, FailedTransactionLeavesNothing)
{
    test::TempStore s;
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('kept')", {});
    try {
        Transaction tx(*s.db);
        s.db->exec("DELETE FROM TZ_XIANGMU");
        s.db->exec("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('new')", {});
        s.db->exec("INSERT INTO no_such_table VALUES (1)");
        tx.commit();
        FAIL() << "the bad statement should have thrown";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.statement().contains("no_such_table"));
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_EQ(s.db->scalar("SELECT group_concat(企业名称) FROM TZ_XIANGMU"), "kept");
}

TEST(Storage, NewRecordsGetNewIds)
{
    test::TempStore s;
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('a')", {});
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('b')", {});
    s.db->exec("DELETE FROM TZ_XIANGMU WHERE 企业名称='b'");
    s.db->exec("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('c')", {});
    EXPECT_EQ(s.db->scalar("SELECT ID FROM TZ_XIANGMU WHERE 企业名称='c'"), "3") << "an ID is never given twice";
}

TEST(DateTimeText, StoredValuesSortAndPrintWithoutLeadingHourZero)
{
    const QDateTime t(QDate(2014, 3, 5), QTime(9, 5, 7));
    EXPECT_EQ(storedDateTime(t), "2014-03-05 09:05:07");
    EXPECT_EQ(dateTimeText(t), "2014-03-05 9:05:07");
    EXPECT_EQ(displayDateTime("2014-03-05 09:05:07"), "2014-03-05 9:05:07");
    EXPECT_EQ(displayDateTime("2014-03-05"), "2014-03-05");
    EXPECT_EQ(displayDateTime("2014-03-05 00:00:00"), "2014-03-05");
    EXPECT_EQ(displayDateTime("not a date"), "not a date");
    EXPECT_EQ(parseStoredDateTime("2013/5/7 13:04").toString("yyyy-MM-dd HH:mm:ss"), "2013-05-07 13:04:00");
    EXPECT_FALSE(parseStoredDateTime("2013-02-30").isValid());
}

TEST(Store, RefusesFilesThatAreNotOurDatabase)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vardo.db");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a database at all, just some text that fills a page ....");
    }
    try {
        openStoreAt(path, StoreOpen::CreateIfMissing);
        FAIL();
    } catch (const DbError &e) {
        EXPECT_TRUE(QString::fromStdString(e.what()).contains(path));
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("this is not a database")) << "nothing overwritten";

    const QString foreign = dir.filePath("foreign.db");
    { Database other(foreign, Database::Mode::CreateIfMissing); other.exec("CREATE TABLE t(x)"); }
    EXPECT_THROW(openStoreAt(foreign, StoreOpen::MustExist), DbError);
    EXPECT_THROW(openStoreAt(dir.filePath("missing/vardo.db"), StoreOpen::CreateIfMissing), DbError);
}

// A database made before 报送记录 existed is this program's still: opening it adds the
// table, empty, as the schema defines it, and keeps every record.
TEST(Store, ADatabaseMadeBeforeALaterTableGetsItWhenOpened)
{
    test::TempStore s;
    s.db->exec(QStringLiteral("INSERT INTO TZ_XIANGMU(企业名称) VALUES ('甲库')"));
    for (const QString &table : laterTables())
        s.db->exec(QStringLiteral("DROP TABLE \"%1\"").arg(table));
    s.db.reset();
    auto db = openStore(StoreOpen::MustExist);
    for (const QString &table : laterTables())
        EXPECT_TRUE(db->hasTable(table)) << table.toStdString();
    EXPECT_TRUE(laterTables().contains(tables::submissions));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT 企业名称 FROM TZ_XIANGMU")), QStringLiteral("甲库"));
    db->exec(QStringLiteral("INSERT INTO 报送记录(文件名, 行数) VALUES ('下级.xls', 3)"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT 行数 FROM 报送记录")), QStringLiteral("3"));
}
