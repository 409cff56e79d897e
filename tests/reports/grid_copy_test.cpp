// Cells copied from a report grid paste as a table that still says what the numbers are.
#include "reports/grid_copy.h"

#include <gtest/gtest.h>

using namespace kestrova;
using reports::copiedCells;
using reports::ReportGrid;

namespace {

// Title, two heading rows (a block over columns 1-2 above "甲" "乙"), two data rows.
ReportGrid sample()
{
    ReportGrid g(3, 5);
    g.merge(0, 0, 3, 1);
    g.setText(0, 0, QStringLiteral("标题"));
    g.merge(0, 1, 1, 2);
    g.setText(0, 1, QStringLiteral("地区"));
    g.merge(1, 1, 2, 1);
    g.setText(1, 1, QStringLiteral("\r地坪\r（万平方米）"));
    g.setText(1, 2, QStringLiteral("甲"));
    g.setText(2, 2, QStringLiteral("乙"));
    g.setText(0, 3, QStringLiteral("  河  北"));
    g.setText(1, 3, QStringLiteral("1.5"));
    g.setText(2, 3, QStringLiteral("2"));
    g.setText(0, 4, QStringLiteral("  山  西"));
    g.setText(1, 4, QStringLiteral("0"));
    g.setText(2, 4, QStringLiteral("30"));
    return g;
}

TEST(GridCopy, EverythingIsEveryCellOnceWithBlocksInTheirFirstCell)
{
    const QString text = copiedCells(sample(), 3, {0, 1, 2, 3, 4}, {0, 1, 2});
    EXPECT_EQ(text, QStringLiteral("标题\t\t\n"
                                   "地区\t地坪 （万平方米）\t\n"
                                   "\t甲\t乙\n"
                                   "  河  北\t1.5\t2\n"
                                   "  山  西\t0\t30\n"));
}

TEST(GridCopy, ValuesAloneComeWithTheirHeadingsAndRowLabels)
{
    // the 乙 column of 山西 only: the block over 甲 and 乙 shows in 乙, its first copied cell
    EXPECT_EQ(copiedCells(sample(), 3, {4}, {2}), QStringLiteral("地区\t地坪 （万平方米）\n"
                                                               "\t乙\n"
                                                               "  山  西\t30\n"));
    // rows and columns in any order, repeated, as a selection lists its cells
    EXPECT_EQ(copiedCells(sample(), 3, {4, 3, 4, 3}, {2, 1, 2, 1}),
              copiedCells(sample(), 3, {3, 4}, {1, 2}));
}

TEST(GridCopy, NothingSelectedOrOutsideTheGridCopiesNothing)
{
    EXPECT_TRUE(copiedCells(sample(), 3, {}, {}).isEmpty());
    EXPECT_TRUE(copiedCells(sample(), 3, {9}, {7}).isEmpty());
}

} // namespace
