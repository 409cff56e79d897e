// Export into generated templates, read back cell by cell with our reader and xlrd.
#include "report_test_support.h"

#include "reports/report_error.h"
#include "support/xls_cells.h"
#include "reports/report_export.h"
#include "reports/report_templates.h"
#include "support/child_process.h"
#include "xls/reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString T111 = QStringLiteral("表1-1-1 全国粮油仓储企业数量汇总表");
const QString T112 = QStringLiteral("表1-1-2 全国粮油仓储企业数量汇总表（分地区）");
const QString T211 = QStringLiteral("表2-1-1 全国粮油仓储企业总仓容汇总表");
const QString T212 = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString T241 = QStringLiteral("表2-4-1 全国“危仓老库”汇总表");
const QString T242 = QStringLiteral("表2-4-2 全国“危仓老库”汇总表（分地区）");

using Sheet = std::vector<std::vector<std::string>>;

std::string cell(const Sheet &s, int row, int col)
{
    if (row < 0 || size_t(row) >= s.size() || col < 0 || size_t(col) >= s[size_t(row)].size())
        return {};
    return s[size_t(row)][size_t(col)];
}

class ReportExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        reports::resetWindowClassStates();
        const char *codes[] = {"130102", "130203", "110101", "650102"};
        const char *cities[] = {"石家庄市", "唐山市", "东城区", "兵团"};
        for (int i = 0; i < 4; ++i)
            addRecord(*store.db, {{QStringLiteral("行政区划代码"), QString::fromUtf8(codes[i])},
                                  {QStringLiteral("地市"), QString::fromUtf8(cities[i])},
                                  {QStringLiteral("新疆兵团"), i == 3 ? QStringLiteral("是") : QStringLiteral("否")},
                                  {QStringLiteral("企业性质"), QStringLiteral("国有")},
                                  {QStringLiteral("经营范围"), QStringLiteral("储备")},
                                  {QStringLiteral("仓容合计"), 20000.0 * (i + 1)},
                                  {QStringLiteral("需维修仓容"), 1500.0 * i},
                                  {QStringLiteral("储粮罩棚"), 10000.0}});
        templet = dir.filePath(QStringLiteral("templet"));
        reports::writeReportTemplates(templet);
    }

    QString templateOf(const reports::ReportDefinition &def) const
    {
        return dir.filePath(reports::templateRelativePath(def));
    }

    // Exports and checks every exported cell against the grid, returning the sheet.
    Sheet exportAndCompare(const QString &title, const QString &level)
    {
        const reports::ReportGrid grid = buildTitle(*store.db, title, level, QStringLiteral("河北省"));
        const auto *def = reports::definitionForTitle(title);
        const QString out = dir.filePath(QStringLiteral("out.xls"));
        reports::exportReport(grid, *def, templateOf(*def), out);
        const Sheet s = xls::readSheetCells(out.toStdString(), "Sheet1");
        const auto &x = def->exportSpec;
        EXPECT_EQ(cell(s, 1, 0), grid.text(0, 0).toStdString());
        for (int r = x.firstRow; r < grid.rowCount(); ++r)
            for (int g = x.firstGridColumn; g <= x.lastGridColumn; ++g) {
                const auto *m = grid.mergeAt(g, r);
                if (m && (m->col != g || m->row != r))
                    continue;
                EXPECT_EQ(cell(s, r + x.rowOffset - 1, x.firstSheetColumn + g - x.firstGridColumn - 1),
                          grid.text(g, r).toStdString())
                    << title.toStdString() << " row " << r << " col " << g;
            }
        return s;
    }

    TempStore store;
    QTemporaryDir dir;
    QString templet;
};

TEST_F(ReportExport, NationalBreakdownWrittenCellByCell)
{
    const Sheet s = exportAndCompare(T212, QStringLiteral("国家级汇总"));
    // 河北 is grid row 5: sheet row 8 (1-based), so index 7
    EXPECT_EQ(cell(s, 7, 0), "  河  北");
    EXPECT_EQ(cell(s, 7, 1), "12.15"); // 6 + 0.15 + sheds 6
    // the heading written from the last heading row keeps the merged block's text
    EXPECT_EQ(cell(s, 3, 1), "合计");
    EXPECT_EQ(cell(s, 5, 3), "其中：低温和准低温仓容");
}

TEST_F(ReportExport, SubNationalBreakdownLeavesTemplateRowsBelow)
{
    const Sheet s = exportAndCompare(T112, QStringLiteral("省级汇总"));
    EXPECT_EQ(cell(s, 5, 0), "合计"); // grid row 3 -> sheet row 6
    EXPECT_EQ(cell(s, 6, 0), "东城区");
    EXPECT_EQ(cell(s, 9, 0), ""); // template rows beyond the grid stay as they were
}

TEST_F(ReportExport, NationalSummaryKeepsTemplateLabels)
{
    const Sheet s = exportAndCompare(T111, QStringLiteral("国家级汇总"));
    // labels span sheet columns 1-2; values start in column 3
    EXPECT_EQ(cell(s, 5, 0), "一、按经营类型");
    EXPECT_EQ(cell(s, 6, 0), "          储备");
    EXPECT_EQ(cell(s, 6, 2), "4"); // every record, the corps one too
    EXPECT_EQ(cell(s, 6, 3), "1");
    exportAndCompare(T211, QStringLiteral("国家级汇总"));
}

TEST_F(ReportExport, ComparisonColumnOnlyInNationalWorkbook)
{
    const Sheet n = exportAndCompare(T241, QStringLiteral("国家级汇总"));
    EXPECT_EQ(cell(n, 5, 4), "0"); // sheet column 5 holds 与上年度相比
    const Sheet b = exportAndCompare(T242, QStringLiteral("国家级汇总"));
    EXPECT_EQ(cell(b, 6, 4), "");
}

TEST_F(ReportExport, ExistingFileIsReplacedAndMissingTemplateFails)
{
    const QString out = dir.filePath(QStringLiteral("old.xls"));
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
    }
    const auto grid = buildTitle(*store.db, T112, QStringLiteral("国家级汇总"));
    const auto *def = reports::definitionForTitle(T112);
    reports::exportReport(grid, *def, templateOf(*def), out);
    EXPECT_EQ(cell(xls::readSheetCells(out.toStdString(), "Sheet1"), 6, 0), "  河  北");
    EXPECT_THROW(reports::exportReport(grid, *def, dir.filePath("none.xls"), out), reports::ReportError);
}

// An independent reader sees the grid's texts, every value of a data row as a number
// cell and labels and headings as text.
TEST_F(ReportExport, XlrdReadsValuesAsNumbersLabelsAndHeadingsAsText)
{
    const auto grid = buildTitle(*store.db, T212, QStringLiteral("国家级汇总"));
    const auto *def = reports::definitionForTitle(T212);
    const QString out = dir.filePath(QStringLiteral("xlrd.xls"));
    reports::exportReport(grid, *def, templateOf(*def), out);
    const XlsCells x = readWithXlrd(out);
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.at(2, 1), grid.text(0, 0));
    for (int r = 3; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c) {
            if (!grid.text(c, r).isEmpty()) {
                EXPECT_EQ(x.at(r + 3, c + 1), grid.text(c, r)) << r << "," << c;
            }
            EXPECT_EQ(x.isNumber(r + 3, c + 1), c > 0 && r >= def->firstDataRow()) << r << "," << c;
        }
}

TEST(ReportExportNames, DefaultNameCarriesTheServedTableNumberTitleAndYear)
{
    const auto *n = reports::definitionForTitle(T111);
    const auto *b = reports::definitionForTitle(T112);
    reports::ReportGrid g(6, 4);
    g.setText(0, 0, QStringLiteral("河北省粮油仓储企业数量汇总表（国有企业）"));
    // The variant's own number, not the window's first title's.
    EXPECT_EQ(reports::defaultExportName(*b, QStringLiteral("表1-1-4 全国粮油仓储企业数量汇总表（国有企业）"), g,
                                         QStringLiteral("2013")),
              "表1-1-4 河北省粮油仓储企业数量汇总表（国有企业）(2013)");
    g.setText(0, 0, QStringLiteral("河北省石家庄市粮油仓储企业数量汇总表"));
    EXPECT_EQ(reports::defaultExportName(*n, T111, g, QStringLiteral("2014")),
              "表1-1-1 河北省石家庄市粮油仓储企业数量汇总表(2014)");
    // Without a task year nothing stands in brackets; a slash in a place name stays in the name.
    g.setText(0, 0, QStringLiteral("甲/乙粮油仓储企业数量汇总表"));
    EXPECT_EQ(reports::defaultExportName(*n, T111, g, QString()), "表1-1-1 甲／乙粮油仓储企业数量汇总表");
    EXPECT_EQ(reports::templateRelativePath(*n), "templet/1-1/表1-1-1 全国粮油仓储企业数量汇总表.xls");
    EXPECT_EQ(reports::templateRelativePath(*b), "templet/1-1/表1-1-2 通表.xls");
}

} // namespace
