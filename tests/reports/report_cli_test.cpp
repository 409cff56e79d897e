// kestrova-cli report: TSV on stdout, the workbook with --xls, unknown titles refused.
#include "reports/report_templates.h"
#include "xls/reader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code;
    QString out;
    QString err;
};

CliRun cli(const QString &home, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli"), QStringList{"--home", home} + args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class ReportCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli")))
            GTEST_SKIP() << "kestrova-cli not built";
        ASSERT_EQ(cli(home.path(), {"init"}).code, 0);
        ASSERT_EQ(cli(home.path(), {"demo", "300"}).code, 0);
    }
    QTemporaryDir home;
};

TEST_F(ReportCli, NationalBreakdownAsTsv)
{
    ASSERT_EQ(cli(home.path(), {"task", "--year", "2013", "--level", "国家级汇总"}).code, 0);
    const CliRun r = cli(home.path(), {"report", "表2-5-2 全国油罐罐容汇总表（分地区）"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 39);
    EXPECT_EQ(lines[0], "油罐罐容汇总表（分地区）\t\t\t\t\t\t\t\t");
    EXPECT_EQ(lines[4].section('\t', 0, 0), "一、主产区");
    EXPECT_EQ(lines[38].section('\t', 0, 0), "  新疆兵团");
    for (const QString &line : lines)
        EXPECT_EQ(line.count('\t'), 8);
}

TEST_F(ReportCli, ProvinceBreakdownWithWorkbook)
{
    ASSERT_EQ(cli(home.path(), {"task", "--year", "2013", "--level", "省级汇总", "--province", "河北省"}).code, 0);
    kestrova::reports::writeReportTemplates(QDir(home.path()).filePath("templet"));
    const QString xls = QDir(home.path()).filePath("t.xls");
    const CliRun r = cli(home.path(), {"report", "表1-1-4 全国粮油仓储企业数量汇总表（国有企业）", "--xls", xls});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0].section(QLatin1Char(9), 0, 0), QStringLiteral("河北省粮油仓储企业数量汇总表（国有企业）"));
    const auto sheet = kestrova::xls::readSheetCells(xls.toStdString(), "Sheet1");
    for (int row = 2; row < lines.size(); ++row) {
        const QStringList cells = lines[row].split('\t');
        for (int c = 0; c < cells.size(); ++c)
            EXPECT_EQ(QString::fromStdString(sheet.at(size_t(row + 2)).at(size_t(c))), cells[c]) << row << "," << c;
    }
}

TEST_F(ReportCli, UnknownTitleIsAnErrorNamingIt)
{
    const CliRun r = cli(home.path(), {"report", "表9-9-9 没有的表"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains("表9-9-9 没有的表")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

} // namespace
