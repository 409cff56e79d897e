// The workbooks of parts three to eight: every window's grid written into its generated
// template and read back cell by cell, at the template's path.
#include "report_test_support.h"

#include "data/demo_records.h"
#include "reports/catalogue_parts3_8.h"
#include "reports/report_export.h"
#include "reports/report_templates.h"
#include "xls/reader.h"

#include <gtest/gtest.h>

#include <QDir>

using namespace kestrova;
using namespace kestrova::test;

namespace {

std::vector<reports::ReportDefinition> newDefinitions()
{
    std::vector<reports::ReportDefinition> defs = reports::partsThreeAndFourDefinitions();
    for (auto &d : reports::partsFiveToEightDefinitions())
        defs.push_back(d);
    return defs;
}

std::string cell(const std::vector<std::vector<std::string>> &sheet, int row, int col)
{
    if (row >= int(sheet.size()) || col >= int(sheet[size_t(row)].size()))
        return {};
    return sheet[size_t(row)][size_t(col)];
}

class Parts3To8Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::resetWindowClassStates();
        addDemoRecords(*store.db, 300, 11);
    }
    TempStore store;
};

TEST_F(Parts3To8Export, TemplatesLieInTheTableFolders)
{
    const auto path = [](const char *cls) {
        return reports::templateRelativePath(*reports::definitionForClass(QString::fromUtf8(cls)));
    };
    EXPECT_EQ(path("TFrmb3_1_1"), QStringLiteral("templet/3-1/表3-1-1 全国粮油仓储企业附属设施汇总表.xls"));
    EXPECT_EQ(path("TFrmb3_4_2"), QStringLiteral("templet/3-4/表3-4-2 通表.xls"));
    EXPECT_EQ(path("TFrmb4_2_1"), QStringLiteral("templet/4-2/表4-2-1 全国烘干设备基本情况表.xls"));
    // Both windows of a table of parts five to eight share the national table's folder.
    EXPECT_EQ(path("TFrmb5_1"), QStringLiteral("templet/5-1/表5-1 全国储粮技术应用情况汇总表.xls"));
    EXPECT_EQ(path("TFrmb5_2"), QStringLiteral("templet/5-1/表5-2 通表.xls"));
    EXPECT_EQ(path("TFrmb8_2"), QStringLiteral("templet/8-1/表8-2 通表.xls"));
}

// Every new window: the grid's title, every exported grid cell at (r + K, mapped
// column), and the template's labels kept where a national table writes values only.
TEST_F(Parts3To8Export, EveryWindowReadsBackFromItsWorkbook)
{
    const QDir dir(store.home());
    for (const auto &def : newDefinitions()) {
        SCOPED_TRACE(def.className.toStdString());
        const QString templateFile = dir.filePath(reports::templateRelativePath(def));
        reports::writeReportTemplate(def, templateFile);
        const reports::ReportGrid grid =
            buildTitle(*store.db, def.titles.first().title, QStringLiteral("国家级汇总"), QStringLiteral("山东省"));
        // $KESTROVA_EXPORT_DIR keeps the workbooks for reading them with other tools.
        const QString keep = qEnvironmentVariable("KESTROVA_EXPORT_DIR");
        const QString out = QDir(keep.isEmpty() ? dir.path() : keep).filePath(def.className + QStringLiteral(".xls"));
        reports::exportReport(grid, def, templateFile, out);
        const auto sheet = xls::readSheetCells(out.toStdString(), "Sheet1");

        const reports::ExportSpec &x = def.exportSpec;
        EXPECT_EQ(cell(sheet, 1, 0), grid.text(0, 0).toStdString());

        int written = 0;
        for (int r = x.firstRow; r < grid.rowCount(); ++r)
            for (int g = x.firstGridColumn; g <= x.lastGridColumn; ++g) {
                const reports::Merge *m = grid.mergeAt(g, r);
                if (m && (m->col != g || m->row != r))
                    continue;
                const int sheetCol = x.firstSheetColumn - 1 + g - x.firstGridColumn;
                ASSERT_EQ(cell(sheet, r + x.rowOffset - 1, sheetCol), grid.text(g, r).toStdString())
                    << "grid (" << g << "," << r << ")";
                ++written;
            }
        EXPECT_GT(written, 0);
        const int firstData = def.firstDataRow() + x.rowOffset - 1;
        if (def.isNational()) {
            EXPECT_EQ(cell(sheet, firstData, 0), "一、按经营类型");
            EXPECT_EQ(cell(sheet, firstData + 9, 0), "      外资企业");
        } else {
            EXPECT_EQ(cell(sheet, firstData, 0), def.grandTotalLabel.toStdString());
        }
    }
}

// A heading row exported by the window lands on the template's own heading row.
TEST_F(Parts3To8Export, ExportedHeadingRowMatchesTheTemplate)
{
    const reports::ReportDefinition &def = *reports::definitionForClass(QStringLiteral("TFrmb3_1_2"));
    const QString templateFile = QDir(store.home()).filePath(reports::templateRelativePath(def));
    reports::writeReportTemplate(def, templateFile);
    const auto before = xls::readSheetCells(templateFile.toStdString(), "Sheet1");
    // Row 2 of the grid, sheet row 5: the two 其中 headings over their columns.
    EXPECT_EQ(cell(before, 4, 2), "其中：可用空地面积");
    EXPECT_EQ(cell(before, 4, 4), "其中：储粮罩棚");
    EXPECT_EQ(cell(before, 3, 5), "\n地坪\n（万平方米）");
}

} // namespace
