// Where the indicators sit on the printed return: the cells the workbook exports use.
#include "records/indicator_layout.h"

#include <gtest/gtest.h>

#include <set>

using namespace kestrova;

TEST(IndicatorLayout, PrintedCellsOfTheReturn)
{
    const std::vector<std::tuple<int, int, int, int>> expected = {
        {1, 1, 10, 5},  {21, 1, 30, 5},  {22, 1, 32, 5},  {23, 2, 10, 10}, {37, 2, 24, 10}, {38, 2, 27, 7},
        {41, 2, 27, 10}, {42, 2, 28, 7}, {45, 2, 28, 10}, {46, 2, 30, 7},  {49, 2, 30, 10}, {50, 2, 31, 7},
        {53, 2, 31, 10}, {54, 2, 32, 10}, {55, 3, 10, 15}, {56, 3, 12, 15}, {69, 3, 25, 15}, {70, 3, 26, 15},
        {71, 3, 28, 15}, {72, 3, 30, 15}};
    for (auto [k, block, row, column] : expected) {
        const IndicatorPlacement &p = indicatorPlacement(k);
        EXPECT_EQ(p.block, block) << k;
        EXPECT_EQ(p.row, row) << k;
        EXPECT_EQ(p.column, column) << k;
    }
    // No two indicators share a cell, and the tables are exactly 38 to 53.
    std::set<std::pair<int, int>> cells;
    for (const auto &p : indicatorPlacements()) {
        EXPECT_TRUE(cells.insert({p.row, p.column}).second) << p.k;
        EXPECT_EQ(p.inTable(), p.k >= 38 && p.k <= 53) << p.k;
        EXPECT_GE(p.row, kFirstIndicatorRow);
        EXPECT_LE(p.row, kLastIndicatorRow);
    }
}
