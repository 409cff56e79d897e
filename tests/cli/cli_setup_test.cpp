#include "cli/cli_run.h"
#include "data/database.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kestrova::test::runCli;

namespace {
QString dbPath(const QTemporaryDir &d)
{
    return d.filePath("vardo.db");
}
} // namespace

TEST(CliInit, CreatesOnceAndNeverOverwrites)
{
    QTemporaryDir home;
    auto r = runCli(home.path(), {"init"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("已创建数据库"));
    r = runCli(home.path(), {"init"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("未作改动"));
}

TEST(CliInit, BadHomesAreRefusedByName)
{
    QTemporaryDir home;
    QFile plain(home.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString underAFile = home.filePath("plain/below");
    auto r = runCli(underAFile, {"init"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(underAFile)) << r.err.toStdString();

    QFile junk(dbPath(home));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    r = runCli(home.path(), {"init"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(dbPath(home))) << r.err.toStdString();
    ASSERT_TRUE(junk.open(QIODevice::ReadOnly));
    EXPECT_EQ(junk.readAll(), QByteArray(4096, 'x')) << "the foreign file is left alone";

    QTemporaryDir empty;
    r = runCli(empty.path(), {"task", "--year", "2013", "--level", "国家级汇总"});
    EXPECT_NE(r.exitCode, 0) << "commands other than init need an existing database";
    EXPECT_FALSE(QFile::exists(dbPath(empty)));
}

TEST(CliTask, ChecksTheLevelsPlacesWithTheSettingsMessages)
{
    QTemporaryDir home;
    ASSERT_EQ(runCli(home.path(), {"init"}).exitCode, 0);
    struct Case {
        QStringList args;
        QString message;
    };
    const Case refusals[] = {
        {{"--level", "国家级汇总"}, "填报年份不能为空！"},
        {{"--year", "2013"}, "汇总级别不能为空！"},
        {{"--year", "2013", "--level", "省级汇总"}, " 请选择省！"},
        {{"--year", "2013", "--level", "地级汇总", "--province", "河南省"}, "请选择地市！"},
        {{"--year", "2013", "--level", "县级汇总", "--province", "河南省", "--city", "郑州市"}, "请选择县！"},
        {{"--year", "2013", "--level", "省级汇总", "--province", "火星"}, "火星"},
        {{"--year", "1999", "--level", "国家级汇总"}, "1999"},
    };
    for (const auto &c : refusals) {
        const auto r = runCli(home.path(), QStringList{"task"} + c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(c.message.startsWith(" ") ? r.err.startsWith(c.message) : r.err.contains(c.message)) << r.err.toStdString();
    }
    kestrova::Database db(dbPath(home));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM 任务信息"), "0") << "refusals write nothing";

    auto r = runCli(home.path(), {"task", "--year", "2013", "--level", "县级汇总", "--province", "河南省", "--city",
                                  "郑州市", "--county", "中原区"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(db.scalar("SELECT 行政区划码 || '|' || 县 FROM 任务信息"), "410102|中原区");
    r = runCli(home.path(), {"task", "--year", "2014", "--level", "地级汇总", "--province", "北京市", "--city",
                             "市辖区", "--county", "东城区"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(db.scalar("SELECT 行政区划码 || '|' || 县 || '|' || count(*) FROM 任务信息"), "110100||1")
        << "a city-level office keeps no county";
}

TEST(CliDemo, SameSeedSameRecords)
{
    QTemporaryDir a, b;
    for (auto *d : {&a, &b}) {
        ASSERT_EQ(runCli(d->path(), {"init"}).exitCode, 0);
        ASSERT_EQ(runCli(d->path(), {"demo", "200", "--seed", "42"}).exitCode, 0);
    }
    const QString digest = "SELECT group_concat(企业名称 || 仓容合计 || 行政区划代码 || 新疆兵团, ';') FROM TZ_XIANGMU";
    kestrova::Database da(dbPath(a)), db(dbPath(b));
    EXPECT_EQ(da.scalar(digest), db.scalar(digest));
    EXPECT_EQ(da.scalar("SELECT count(*) FROM TZ_XIANGMU"), "200");
    EXPECT_EQ(da.scalar("SELECT count(*) FROM TZ_XIANGMU WHERE 仓容合计 <> 平房仓+浅圆仓+立筒仓+楼房仓+地下仓+完成维修仓"),
              "0");
    EXPECT_EQ(da.scalar("SELECT count(*) FROM TZ_XIANGMU WHERE length(邮政编码) <> 6 OR 校验状态 <> '1'"), "0");
    EXPECT_EQ(da.scalar("SELECT count(*) FROM TZ_XIANGMU t WHERE NOT EXISTS (SELECT 1 FROM county c WHERE c.代码 = "
                        "t.行政区划代码 AND c.名称 = t.县 AND c.市 = t.地市 AND c.省 = t.省)"),
              "0");
    EXPECT_NE(runCli(a.path(), {"demo", "abc"}).exitCode, 0);
}
