// kestrova-cli check and report --all: what scripts rely on (TSV, exit status, files).
#include "cli_home.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kestrova;
using namespace kestrova::test;

namespace {
class CheckAndAllReportsCli : public CliHome {};

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST_F(CheckAndAllReportsCli, CheckExitsZeroOnValidRecordsAndThreeWithOneTsvLinePerFailure)
{
    CliResult r = cli({"check"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ID\t企业名称\t地区\t规则\t要求\t数值\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("共校验 20 个记录，0 个未通过")));

    {
        Database db(this->db());
        // A tab in a name must not split its line.
        db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 空地面积=占地面积+1, 企业名称='甲\t乙' WHERE ID=5"));
        db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 邮政编码='12' WHERE ID=7"));
    }
    const QString xls = store.file(QStringLiteral("校验.xls"));
    r = cli({"check", "--xls", xls});
    EXPECT_EQ(r.exitCode, 3);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    for (const QString &line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), 5) << line.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("5\t甲\\t乙\t")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\t规则2\t要求：可用空地面积＜占地面积\t")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("7\t")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("邮政编码=12")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("2 个未通过")));
    EXPECT_TRUE(QFile::exists(xls));

    // Checking changes no record (the two edits above are the database's state now).
    Database db(this->db());
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 校验状态 FROM TZ_XIANGMU WHERE ID=5")),
              db.scalar(QStringLiteral("SELECT 校验状态 FROM TZ_XIANGMU WHERE ID=6")));
}

TEST_F(CheckAndAllReportsCli, ReportAllWritesTheSameWorkbooksAsReportWithXls)
{
    QTemporaryDir out;
    const CliResult r = cli({"report", "--all", out.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList files = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(files.size(), 95);
    EXPECT_EQ(files.constLast(), QDir(out.path()).filePath(QStringLiteral("2013年国家级汇总全部报表.xls")));
    for (const QString &title : {QStringLiteral("表1-1-1 全国粮油仓储企业数量汇总表"),
                                QStringLiteral("表3-4-4 全国粮油仓储企业附属设施汇总表（国有企业）"),
                                QStringLiteral("表8-5 全国粮油经营情况汇总表（非国有企业）")}) {
        const QString one = store.file(QStringLiteral("one.xls"));
        ASSERT_EQ(cli({"report", title, "--xls", one}).exitCode, 0);
        EXPECT_EQ(bytes(QDir(out.path()).filePath(title + QStringLiteral(".xls"))), bytes(one)) << title.toStdString();
        QFile::remove(one);
    }
    expectIntact(folderEntries(store.home()), "report --all");
}

TEST_F(CheckAndAllReportsCli, ReportAllRefusesATitleAMissingFolderAndTheDatabaseFolderStaysClean)
{
    CliResult r = cli({"report", "--all", store.file(QStringLiteral("无此处"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("不存在"))) << r.err.toStdString();
    r = cli({"report", "表1-1-1 全国粮油仓储企业数量汇总表", "--all", store.home()});
    EXPECT_EQ(r.exitCode, 2);
    r = cli({"report"});
    EXPECT_EQ(r.exitCode, 2);
    expectIntact(folderEntries(store.home()), "refused report --all");
}
