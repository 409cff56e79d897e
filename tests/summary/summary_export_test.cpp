// The annual summary workbook, read back through python3-xlrd.
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "reports/summary/summary_condition.h"
#include "reports/summary/summary_export.h"
#include "reports/summary/summary_figures.h"
#include "summary/summary_fixture.h"
#include "support/xls_cells.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

TEST(SummaryExport, HeaderLinesOwnershipAndSumsLandOnTheSharedCells)
{
    TempStore store;
    addSampleRecords(*store.db);
    writePaperFormTemplates(store.file(QStringLiteral("templet")).toStdString());
    EXPECT_EQ(summaryTemplatePath(), store.file(QStringLiteral("templet/Kestrova年报汇总表.xls")));

    const SummarySelection s = selectionForPath({"地方企业", "河南省"});
    const SummaryFigures f = summaryFigures(*store.db, summaryCondition(s, Ownership::NonState));
    SummaryHeader h{QStringLiteral("河南省粮食局"), QStringLiteral("2014年3月5日"), QStringLiteral("2013"), summaryUnit(s),
                    Ownership::NonState, f.count};
    const QString out = store.file(QStringLiteral("summary.xls"));
    writeSummaryWorkbook(summaryTemplatePath(), out, h, f.sums);

    const auto x = readWithXlrd(out);
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.at(1, 1), QStringLiteral("Kestrova年报汇总表"));
    EXPECT_EQ(x.at(3, 1), QStringLiteral("制表单位："));
    EXPECT_EQ(x.at(3, 3), QStringLiteral("河南省粮食局"));
    EXPECT_EQ(x.at(4, 1), QStringLiteral("制表日期："));
    EXPECT_EQ(x.at(4, 3), QStringLiteral("2014年3月5日"));
    EXPECT_EQ(x.at(5, 1), QStringLiteral("汇总年度："));
    EXPECT_EQ(x.at(5, 3), QStringLiteral("2013"));
    EXPECT_EQ(x.at(6, 1), QStringLiteral("汇总单位："));
    EXPECT_EQ(x.at(6, 3), QStringLiteral("河南省"));
    EXPECT_EQ(x.at(7, 1), QStringLiteral("企业性质：非国有"));
    EXPECT_EQ(x.at(7, 9), QStringLiteral("企业个数："));
    EXPECT_EQ(x.at(7, 10), QStringLiteral("2"));
    EXPECT_EQ(x.at(indicatorCell(1)), QStringLiteral("50.5"));
    for (int k = 2; k <= kIndicatorCount; ++k)
        EXPECT_EQ(x.at(indicatorCell(k)), f.sums[size_t(k - 1)]) << "indicator " << k;
    // Sums and the count are numbers to compute with; the year and the date stay text.
    for (int k = 1; k <= kIndicatorCount; ++k)
        EXPECT_EQ(x.isNumber(indicatorCell(k)), !f.sums[size_t(k - 1)].isEmpty()) << "indicator " << k;
    EXPECT_TRUE(x.isNumber(7, 10));
    EXPECT_FALSE(x.isNumber(5, 3));
    EXPECT_FALSE(x.isNumber(4, 3));
}

TEST(SummaryExport, EveryIndicatorGoesToItsOwnCellAndFileNameIsDated)
{
    TempStore store;
    writePaperFormTemplates(store.file(QStringLiteral("templet")).toStdString());
    IndicatorTexts fields;
    for (int k = 1; k <= kIndicatorCount; ++k)
        fields[size_t(k - 1)] = QString::number(k);
    const QString out = store.file(QStringLiteral("all.xls"));
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a workbook");
    old.close();
    writeSummaryWorkbook(summaryTemplatePath(), out, SummaryHeader{}, fields);
    const auto x = readWithXlrd(out);
    for (int k = 1; k <= kIndicatorCount; ++k)
        EXPECT_EQ(x.at(indicatorCell(k)), QString::number(k)) << "indicator " << k;
    EXPECT_EQ(x.at(7, 1), QStringLiteral("企业性质：全部"));
    EXPECT_EQ(summaryFileName(QDate(2014, 3, 5)), QStringLiteral("Kestrova年报汇总表（03-05)"));
}
