// 全部报表: the same workbooks as 保存表格 for every title a level offers, and nothing
// left under a final name when the run is cancelled or fails.
#include "report_test_support.h"

#include "app/system/report_menu.h"
#include "data/demo_records.h"
#include "data/file_error.h"
#include "reports/all_reports.h"
#include "reports/report_export.h"
#include "xls/template_filler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class AllReports : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::resetWindowClassStates();
        addDemoRecords(*store.db, 400, 7);
        province = store.db->scalar(QStringLiteral("SELECT 省 FROM TZ_XIANGMU ORDER BY ID LIMIT 1"));
    }

    GlobalContext contextFor(const QString &level) const
    {
        GlobalContext c;
        c.level = level;
        if (level != reports::kLevelNational)
            c.province = province;
        return c;
    }

    reports::AllReportsRequest request(const QString &level, const QString &folder) const
    {
        return {offeredReportTitles(level), folder, QStringLiteral("2026"), QStringLiteral("测试办")};
    }

    TempStore store;
    QString province;
};

} // namespace

TEST_F(AllReports, EveryWorkbookIsByteForByteTheSingleTableExportAtNationalProvinceAndCountyLevel)
{
    for (const QString &level : {reports::kLevelNational, reports::kLevelProvince, QStringLiteral("县级汇总")}) {
        SCOPED_TRACE(level.toStdString());
        QTemporaryDir all, single;
        const GlobalContext ctx = contextFor(level);
        const auto req = request(level, all.path());
        const auto result = reports::writeAllReports(*store.db, ctx, req);
        ASSERT_FALSE(result.cancelled);
        EXPECT_EQ(req.titles.size(), level == QStringLiteral("县级汇总") ? 19 : 94);
        ASSERT_EQ(result.files.size(), req.titles.size() + 1);
        // Exactly the tables and the workbook of all of them; no temporaries left.
        EXPECT_EQ(filesIn(all.path()).size(), req.titles.size() + 1);

        context() = ctx;
        for (const QString &title : req.titles) {
            const auto *def = reports::definitionForTitle(title);
            context().reportTitle = title;
            reports::ReportGrid grid;
            reports::buildReport(*store.db, context(), *def, reports::windowClassState(def->className), grid);
            const QString one = QDir(single.path()).filePath(QStringLiteral("one.xls"));
            reports::exportReport(grid, *def, reports::templatePath(*def), one);
            const QByteArray expected = bytes(one);
            ASSERT_FALSE(expected.isEmpty());
            EXPECT_EQ(bytes(QDir(all.path()).filePath(reports::tableFileName(title))), expected)
                << title.toStdString();
        }

        // One sheet per table, named by its number, holding the table's title.
        const QString allPath = QDir(all.path()).filePath(QStringLiteral("2026年测试办全部报表.xls"));
        ASSERT_EQ(result.files.constLast(), allPath);
        const xls::TemplateFiller book(allPath.toStdString());
        ASSERT_EQ(book.sheetCount(), req.titles.size());
        for (int i = 0; i < book.sheetCount(); ++i) {
            const auto name = QString::fromStdString(book.sheetName(i));
            EXPECT_TRUE(req.titles[i].startsWith(name + QLatin1Char(' '))) << name.toStdString();
            EXPECT_FALSE(book.text(i, 0, 0).empty());
        }
    }
}

TEST_F(AllReports, CancelAtAnyStepLeavesNoNewFileAndKeepsAnOldOne)
{
    QTemporaryDir dir;
    const auto req = request(reports::kLevelNational, dir.path());
    // A workbook from an earlier run stays as it was.
    const QString old = QDir(dir.path()).filePath(reports::tableFileName(req.titles.first()));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier");
    }
    const int total = int(req.titles.size()) + 2;
    for (int stopAt : {0, 1, 50, total - 2, total - 1}) {
        SCOPED_TRACE(stopAt);
        int calls = 0;
        const auto result = reports::writeAllReports(*store.db, contextFor(reports::kLevelNational), req,
                                                     [&](int done, int all, const QString &) {
                                                         EXPECT_EQ(done, calls++);
                                                         EXPECT_EQ(all, total);
                                                         return done < stopAt;
                                                     });
        EXPECT_TRUE(result.cancelled);
        EXPECT_TRUE(result.files.isEmpty());
        EXPECT_EQ(filesIn(dir.path()), QStringList{reports::tableFileName(req.titles.first())});
        EXPECT_EQ(bytes(old), QByteArray("earlier"));
    }
}

TEST_F(AllReports, DamagedTemplateHalfwayFailsWithAMessageAndLeavesNoFile)
{
    QTemporaryDir dir;
    const auto req = request(reports::kLevelNational, dir.path());
    // The home's template comes before the shipped one.
    const auto *def = reports::definitionForTitle(req.titles[60]);
    const QString broken = QDir(store.home()).filePath(reports::templateRelativePath(*def));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(broken).path()));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'x'));
    }
    try {
        reports::writeAllReports(*store.db, contextFor(reports::kLevelNational), req);
        FAIL() << "no error";
    } catch (const FileError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("模板"))) << e.message().toStdString();
    }
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(',').toStdString();
}

TEST_F(AllReports, MissingFolderIsRefusedInChinese)
{
    const auto req = request(reports::kLevelNational, QDir(store.home()).filePath(QStringLiteral("无此文件夹")));
    try {
        reports::writeAllReports(*store.db, contextFor(reports::kLevelNational), req);
        FAIL() << "no error";
    } catch (const FileError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("不存在"))) << e.message().toStdString();
    }
}
