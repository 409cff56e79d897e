#pragma once
// Where each indicator sits on the paper form of the return: its block (1 to 3) and
// its cell (row, column, counted from 1) on the printed sheet. The entry form lines
// its blocks up by these rows; the printed return and the annual summary export
// write their cells from them.
#include "data/indicators.h"

#include <array>

namespace kestrova {

struct IndicatorPlacement {
    int k = 0;
    int block = 0;  // 1 基本情况, 2 库容情况, 3 机械设备情况
    int row = 0;    // printed sheet row
    int column = 0; // printed sheet column
    // The tank and open-air tables of block 2 put four indicators on one row.
    bool inTable() const { return block == 2 && row >= 27 && row <= 31; }
};

inline constexpr int kFirstIndicatorRow = 10;
inline constexpr int kLastIndicatorRow = 32;

const std::array<IndicatorPlacement, kIndicatorCount> &indicatorPlacements();
const IndicatorPlacement &indicatorPlacement(int k);

} // namespace kestrova
