#include "records/printed/printed_cell_map.h"

#include "records/indicator_layout.h"

namespace kestrova {

SheetCell indicatorCell(int k)
{
    const IndicatorPlacement &p = indicatorPlacement(k);
    return {p.row, p.column};
}

} // namespace kestrova
